// vrel-pack c [--fast|--good|--auto] IN OUT   packs IN into the container OUT (Fast by default)
// vrel-pack d IN OUT                          unpacks the container IN into OUT
//
// On failure the component's text goes to stderr, the exit status is 1 and OUT is left as it
// was (a new OUT is not created). Wrong arguments give the usage and status 2.

#include "app/command_line/command_line.h"
#include "compress/errors.h"
#include "compress/tlzrw1.h"

#include <cstring>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

const char kProgram[] = "vrel-pack";

// The two forms of the command line, after "usage: " or "Usage: ".
const char kUsage[] =
    "vrel-pack c [--fast|--good|--auto] IN OUT\n"
    "       vrel-pack d IN OUT\n";

const char kHelpBody[] =
    "Packs the file IN into the compressed container OUT (c), or unpacks the container IN\n"
    "into OUT (d): the container of the Vrel tally file Vreltally.tld, to look into it or\n"
    "mend it. On failure OUT is left as it was.\n"
    "\n"
    "  --fast        pack with LZRW1/KH (the default)\n"
    "  --good        pack with LZH, smaller and slower\n"
    "  --auto        let the packer choose the better of the two for IN\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n";

int usage()
{
    std::cerr << "usage: " << kUsage;
    return ExitUsage;
}

std::optional<TCompressMode> modeOption(const std::string &option)
{
    if (option == "--fast")
        return TCompressMode::Fast;
    if (option == "--good")
        return TCompressMode::Good;
    if (option == "--auto")
        return TCompressMode::Auto;
    return std::nullopt;
}

const char *modeName(TCompressMode mode)
{
    return mode == TCompressMode::Fast ? "LZRW1/KH" : "LZH";
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList arguments = argumentsOf(argc, argv);
    const Request request = requestOf(arguments);
    if (request != Request::Run)
        return answerRequest(request, kProgram, (std::string("Usage: ") + kUsage + kHelpBody).c_str());
    for (const QString &argument : arguments) {
        if (isLongOption(argument) && !modeOption(argument.toStdString()))
            return refuseCommandLine(kProgram, unknownOption(argument));
    }

    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || (args[0] != "c" && args[0] != "d"))
        return usage();
    const bool packing = args[0] == "c";

    Tlzrw1 container;
    container.CompressMode = TCompressMode::Fast;
    std::size_t files = 1;
    if (packing && args.size() == 4) {
        const auto mode = modeOption(args[1]);
        if (!mode)
            return usage();
        container.CompressMode = *mode;
        files = 2;
    }
    if (args.size() != files + 2)
        return usage();
    container.InputFile = args[files];
    container.OutputFile = args[files + 1];

    try {
        if (packing) {
            if (container.CompressMode == TCompressMode::Auto)
                container.CompressMode = container.Advise();
            const std::uint64_t written = container.Compress();
            std::cout << container.OutputFile << ": " << written << " bytes ("
                      << modeName(container.CompressMode) << ")\n";
        } else {
            const std::uint64_t written = container.Decompress();
            std::cout << container.OutputFile << ": " << written << " bytes\n";
        }
    } catch (const std::exception &e) {
        std::cerr << e.what() << '\n';
        return ExitFailure;
    }
    return 0;
}
