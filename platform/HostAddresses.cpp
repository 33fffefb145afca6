#include "platform/HostAddresses.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

void listHostAddresses(std::vector<std::string>& lines)
{
    lines.clear();
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return;

    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address instead of one per socket type
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0)
        return;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        char text[INET_ADDRSTRLEN];
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text))
            lines.emplace_back(text);
    }
    freeaddrinfo(found);
}

} // namespace platform
