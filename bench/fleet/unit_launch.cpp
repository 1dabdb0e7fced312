#include "unit_launch.h"

#include <fstream>
#include <sstream>

namespace {

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

long long timeSpanUsec(const std::string &text)
{
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == 0)
        return -1;
    const long long number = std::stoll(text.substr(0, digits));
    const std::string unit = text.substr(digits);
    if (unit.empty() || unit == "s" || unit == "sec")
        return number * 1000000;
    if (unit == "ms" || unit == "msec")
        return number * 1000;
    if (unit == "min" || unit == "m")
        return number * 60000000;
    if (unit == "us" || unit == "usec")
        return number;
    return -1;
}

bool UnitLaunch::read(const std::string &unitFile, const std::string &program)
{
    std::ifstream unit(unitFile);
    std::string line;
    while (std::getline(unit, line)) {
        if (line.rfind("ExecStart=", 0) == 0) {
            std::istringstream words(replaced(replaced(line.substr(10), "@VREL_HOST_PROGRAM@", program), "@VREL_UNIT_PORT@", "%i"));
            execStart.clear();
            for (std::string word; words >> word;)
                execStart.push_back(word);
        } else if (line.rfind("WatchdogSec=", 0) == 0) {
            watchdogUsec = std::max(0LL, timeSpanUsec(line.substr(12)));
        }
    }
    return !execStart.empty();
}

std::vector<std::string> UnitLaunch::commandFor(const std::string &instance) const
{
    std::vector<std::string> command;
    for (const std::string &word : execStart)
        command.push_back(replaced(word, "%i", instance));
    return command;
}
