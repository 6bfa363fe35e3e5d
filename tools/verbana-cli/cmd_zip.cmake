# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND VERBANA_CLI_LIBS verbana_backup verbana_store)
