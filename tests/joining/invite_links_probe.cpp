// Prints this computer's invite links for the port given, one a line.

#include "joining/invite_links.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const int port = argc > 1 ? std::atoi(argv[1]) : 7772;
    for (const QString &link : machineInviteLinks(port))
        std::printf("%s\n", link.toUtf8().constData());
    return 0;
}
