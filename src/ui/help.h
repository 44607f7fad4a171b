#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// One help topic: a one-line title and paragraphs separated by "\r\n\r\n".
struct HelpTopic {
    QString title;
    QString text;
};

// Every form shows its own topic through here; the shell installs the one
// help window, so no form needs to know it.
namespace Help {
void show(const HelpTopic& topic);
void install(std::function<void(const HelpTopic&)> window);
// Paragraphs joined the way the help window separates them.
QString paragraphs(const QStringList& list);
} // namespace Help
