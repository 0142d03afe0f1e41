#include "CommandLine.h"

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    const size_t n = line.size();
    size_t i = 0;
    for (;;) {
        // Blanks between arguments; a "" pair there is an empty argument and is dropped.
        for (;;) {
            while (i < n && static_cast<unsigned char>(line[i]) <= 0x20)
                ++i;
            if (i + 1 < n && line[i] == '"' && line[i + 1] == '"')
                i += 2;
            else
                break;
        }
        if (i >= n)
            break;
        std::string arg;
        while (i<n&& static_cast<unsigned char>(line[i])> 0x20) {
            if (line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::string::npos)
                    close = n;
                arg.append(line, i + 1, close - i - 1);
                i = close < n ? close + 1 : n;
            } else {
                arg.push_back(line[i++]);
            }
        }
        if (arg.empty()) // only a lone "" pair inside an argument run; nothing to hand on
            continue;
        args.push_back(arg);
    }
    return args;
}

std::string CallerArgumentText(const std::string& line) {
    // No second byte of a double-byte character is a quote, a space or a tab, so a byte scan
    // ends the token where a character scan would.
    size_t end;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        end = end == std::string::npos ? line.size() : end + 1;
    } else {
        end = line.find_first_of(" \t");
    }
    const size_t text = end == std::string::npos ? end : line.find_first_not_of(" \t", end);
    return text == std::string::npos ? std::string() : line.substr(text);
}
