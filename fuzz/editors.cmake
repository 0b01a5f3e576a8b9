# Filling every editor's table from answer lines: whatever the register
# sends, rows are changed or appended by code and nothing else happens.
tarvo_fuzzer(fuzz_tablefill fuzz_tablefill.cpp tarvo_editors)
