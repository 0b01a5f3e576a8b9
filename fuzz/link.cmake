# The link's receive state and line splitting, fed arbitrary bytes.
tarvo_fuzzer(fuzz_receiver fuzz_receiver.cpp tarvo_frame)
tarvo_fuzzer(fuzz_splittext fuzz_splittext.cpp tarvo_frame)
