// Preloaded into the print helper: the name "slow.print.test" takes 25 s to
// resolve (to the loopback address), as a print server's name can behind a
// failing name server. Every other name resolves as usual.
#include <dlfcn.h>
#include <netdb.h>
#include <unistd.h>

#include <string_view>

extern "C" int getaddrinfo(const char *node, const char *service, const addrinfo *hints,
                           addrinfo **found)
{
    using Resolver = int (*)(const char *, const char *, const addrinfo *, addrinfo **);
    static const auto resolve = reinterpret_cast<Resolver>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node && std::string_view(node) == "slow.print.test") {
        sleep(25);
        node = "127.0.0.1";
    }
    return resolve(node, service, hints, found);
}
