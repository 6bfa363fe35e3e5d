# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND VERBANA_CLI_LIBS verbana_stats verbana_stats_print verbana_store Qt6::Gui)
