// A server that accepts connections on 127.0.0.1 and never answers: the
// hang of a database host whose server process is stuck. Prints its port,
// then holds every connection until it has run for the given seconds.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 2;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int length = sizeof addr;
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener, 16) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
        return 2;
    std::printf("%u\n", ntohs(addr.sin_port));
    std::fflush(stdout);
    std::vector<SOCKET> held;
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval wait = {1, 0};
        if (select(0, &ready, nullptr, nullptr, &wait) > 0) {
            SOCKET s = accept(listener, nullptr, nullptr);
            if (s != INVALID_SOCKET) held.push_back(s);  // read nothing, answer nothing
        }
    }
    for (SOCKET s : held) closesocket(s);
    closesocket(listener);
    WSACleanup();
    return 0;
}
