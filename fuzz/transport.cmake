# What a device server sends, fed arbitrary bytes: the Telnet decoder.
tarvo_fuzzer(fuzz_telnet fuzz_telnet.cpp tarvo_transport)
