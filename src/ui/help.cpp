#include "ui/help.h"

namespace {
std::function<void(const HelpTopic&)>& window()
{
    static std::function<void(const HelpTopic&)> w;
    return w;
}
} // namespace

void Help::show(const HelpTopic& topic)
{
    if (window())
        window()(topic);
}

void Help::install(std::function<void(const HelpTopic&)> w) { window() = std::move(w); }

QString Help::paragraphs(const QStringList& list) { return list.join(QStringLiteral("\r\n\r\n")); }
