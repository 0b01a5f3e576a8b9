# What the HTTP service parses itself: paths, JSON bodies and row changes,
# PLU lists in either charset, Idempotency-Keys.
tarvo_fuzzer(fuzz_serve fuzz_serve.cpp tarvo_serve)
