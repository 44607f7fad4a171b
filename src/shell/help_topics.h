#pragma once

#include <QString>

// The help topics of the launcher, the editors and the send form. A topic is a
// one-line title and a text of paragraphs separated by an empty line
// ("\r\n\r\n"); the help window shows them as given.
namespace HelpTopics {
QString launcherTitle();
QString launcherText();
QString contactsTitle();
QString contactsText();
QString messagesTitle();
QString messagesText();
QString sendTitle();
QString sendText();
} // namespace HelpTopics
