#pragma once

#include <string>

namespace lumavine {

// The first IPv4 address of a host name or dotted address, in dotted form;
// false when the look-up fails.
bool lookUpIpv4(const std::string& host, std::string& dotted);

// A blocking IPv4 TCP connection to the host, made within the time limit;
// the descriptor, or -1 on failure. Lingering is off and small writes go out
// at once.
int openTcpConnection(const std::string& host, int port, int timeoutMs);

// How long one blocking send, or one receive, on the connection may wait
// before it fails; zero waits for ever.
bool setSendTimeout(int handle, int timeoutMs);
bool setReceiveTimeout(int handle, int timeoutMs);

}
