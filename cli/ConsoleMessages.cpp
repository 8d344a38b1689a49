#include "cli/ConsoleMessages.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace varlin::cli {

void ConsoleMessagePort::ShowMessage(const std::string& text)
{
    if (beforeShowing) beforeShowing();
    ++shownCount;
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

MessageAnswer ConsoleMessagePort::ShowSystemMessage(const std::string& text, const std::string& caption,
                                                    SystemMessageStyle style)
{
    if (beforeShowing) beforeShowing();
    ++shownCount;
    std::fprintf(stderr, "[%s]\n%s\n", caption.c_str(), text.c_str());
    if (style.buttons == MessageButtons::Ok) {
        std::fflush(stderr);
        return MessageAnswer::Ok;
    }
    if (presetAnswer) {
        std::fprintf(stderr, "%s\n", *presetAnswer == MessageAnswer::Yes ? "yes" : "no");
        return *presetAnswer;
    }
    if (isatty(STDIN_FILENO) == 0) {
        std::fprintf(stderr, "no (no terminal to ask; pass --yes or --no)\n");
        return MessageAnswer::No;
    }
    for (;;) {
        std::fprintf(stderr, "[y/n] ");
        std::fflush(stderr);
        std::string line;
        if (!std::getline(std::cin, line)) return MessageAnswer::No;
        if (line == "y" || line == "Y" || line == "yes") return MessageAnswer::Yes;
        if (line == "n" || line == "N" || line == "no") return MessageAnswer::No;
    }
}

}  // namespace varlin::cli
