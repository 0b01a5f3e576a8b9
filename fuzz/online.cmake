# Command files (line splitting, the PLU list's structure and records, the
# sales layout) and TARVOPROG.INI loading, fed arbitrary bytes.
tarvo_fuzzer(fuzz_commandfile fuzz_commandfile.cpp tarvo_online)
tarvo_fuzzer(fuzz_tarvoini fuzz_tarvoini.cpp tarvo_online)
