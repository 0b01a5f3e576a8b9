# Table-file loading: any bytes under a table's name must give a table or
# ETableFile, never a crash, and a loaded table must save and load back equal.
tarvo_fuzzer(fuzz_tableload fuzz_tableload.cpp tarvo_tables)
