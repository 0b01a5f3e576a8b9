// What the HTTP service answers a request with, before it goes on the wire:
// a status and a JSON body (UTF-8), and the few headers a status needs. The
// same value is kept on disk under an Idempotency-Key and replayed from there.
#pragma once

#include <string>

struct TAnswer {
  int Status = 200;
  std::string Body;       // JSON text
  int RetryAfter = 0;     // seconds for a Retry-After header; 0 for none
  std::string Allow;      // the methods a 405 names
  bool Replayed = false;  // taken from the idempotency store
};
