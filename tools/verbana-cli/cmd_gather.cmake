# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND VERBANA_CLI_LIBS verbana_search verbana_store)
