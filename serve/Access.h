// Where the HTTP service listens and who may ask it: the --listen address,
// whether it stays on this machine, and the bearer token every request
// must carry once the service is reachable from elsewhere.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char *DefaultListen = "127.0.0.1:8735";

// "HOST:PORT", "[V6]:PORT"; port 0 takes any free port. False with why.
bool ParseListen(const std::string &text, std::string &host, int &port, std::string &why);
// 127.0.0.0/8, ::1 and "localhost".
bool IsLoopbackHost(const std::string &host);

// The first line of the file, without its line end. False with why (the
// file cannot be read, or that line is empty).
bool ReadTokenFile(const std::string &path, std::string &token, std::string &why);

// Whether an Authorization header carries "Bearer <token>". The compare
// takes the same time wherever the two differ, whatever their lengths.
bool BearerMatches(std::string_view header, std::string_view token);
