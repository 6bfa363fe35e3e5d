list(APPEND VERBANA_CLI_LIBS verbana_store)
