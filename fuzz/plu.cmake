# The PLU text import: any bytes give well-formed rows that export and import
# back the same.
tarvo_fuzzer(fuzz_plutext fuzz_plutext.cpp tarvo_editors)
