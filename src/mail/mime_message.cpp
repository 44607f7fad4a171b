// GIO, pulled in by GMime, has struct members named "signals", which Qt's
// keyword macro would rewrite.
#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

#include "mail/mime_message.h"

#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct GUnref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <typename T> using GPtr = std::unique_ptr<T, GUnref>;

void ensureGMime()
{
    static const bool ready = [] {
        g_mime_init();
        return true;
    }();
    (void)ready;
}

bool isSpecial(QChar c)
{
    switch (c.unicode()) {
    case '<':
    case '>':
    case '(':
    case ')':
    case '[':
    case ']':
    case ',':
    case ';':
    case ':':
    case '"':
    case '\\':
        return true;
    default:
        return false;
    }
}

// The longest address SMTP carries; it also keeps every header line of the
// folded list well within the 998 characters a line may have.
constexpr qsizetype kMaxAddress = 254;

bool validAddress(QStringView address)
{
    if (address.size() > kMaxAddress)
        return false;
    qsizetype at = -1;
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == QLatin1Char('@')) {
            if (at >= 0)
                return false;
            at = i;
        } else if (c.unicode() <= 0x20 || c.unicode() == 0x7F || isSpecial(c) || (c.unicode() >= 0x80 && c.isSpace())) {
            return false;
        }
    }
    return at > 0 && at < address.size() - 1;
}

QByteArray utf8Header(const QString& text) { return MimeMail::headerText(text).toUtf8(); }

// Line breaks of any origin (typed, or CR LF from an archive) become LF;
// the sendmail program turns them into what the wire needs.
QByteArray bodyBytes(const QString& body)
{
    QString text = body;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.toUtf8();
}

qsizetype bodyBytesEstimate(const QString& body) { return body.size() * 3 + 1024; }

// The sender's domain (in its ASCII form) names the Message-ID, as mail
// programs do; "localhost" when it has none usable.
QByteArray messageIdDomain(const QString& address)
{
    const QString domain = address.section(QLatin1Char('@'), -1);
    const QByteArray ace = QUrl::toAce(domain);
    return ace.isEmpty() ? QByteArrayLiteral("localhost") : ace;
}

GMimeObject* textPart(const QString& body)
{
    GMimeTextPart* part = g_mime_text_part_new_with_subtype("plain");
    const QByteArray bytes = bodyBytes(body);
    GPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.constData(), size_t(bytes.size())));
    GPtr<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(GMIME_PART(part), content.get());
    // Left alone, GMime would re-encode the text to the "best" charset.
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "utf-8");
    GMimeContentEncoding encoding
        = g_mime_part_get_best_content_encoding(GMIME_PART(part), GMIME_ENCODING_CONSTRAINT_7BIT);
    if (encoding == GMIME_CONTENT_ENCODING_BASE64) // keep the text readable
        encoding = GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE;
    g_mime_part_set_content_encoding(GMIME_PART(part), encoding);
    return GMIME_OBJECT(part);
}

// The file is read only when the message is written out, straight from fd.
GMimeObject* filePart(const MapiFileDesc& file, int fd)
{
    const QFileInfo info(file.lpszPathName);
    const QString name = file.lpszFileName.isNull() ? info.fileName() : file.lpszFileName;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    const QByteArray typeName
        = type.isValid() && !type.isDefault() ? type.name().toLatin1() : QByteArrayLiteral("application/octet-stream");
    const qsizetype slash = typeName.indexOf('/');
    const QByteArray major = typeName.left(slash);
    const QByteArray minor = typeName.mid(slash + 1);

    GMimePart* part = g_mime_part_new_with_type(major.constData(), minor.constData());
    GPtr<GMimeStream> stream(g_mime_stream_fs_new(fd)); // owns fd from here
    GPtr<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    g_mime_part_set_filename(part, utf8Header(name).constData());
    return GMIME_OBJECT(part);
}

// Opens an attachment for reading; the result code on failure.
quint32 openAttachment(const QString& path, int& fd)
{
    fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? MAPI_E_ATTACHMENT_NOT_FOUND : MAPI_E_ATTACHMENT_OPEN_FAILURE;
    struct stat st { };
    // Folders and devices open fine but are no file to attach; a FIFO would
    // block the submission for ever.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return SUCCESS_SUCCESS;
}

const char* headerName(quint32 recipClass)
{
    switch (recipClass) {
    case 2:
        return "Cc";
    case 3:
        return "Bcc";
    default:
        return "To";
    }
}

bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// One address as it stands in a header. A plain ASCII address is itself;
// anything else (a display name, a non-ASCII domain) is encoded by GMime.
QByteArray encodedMailbox(const MimeMail::Mailbox& box)
{
    if (box.name.isEmpty() && isAscii(box.address))
        return box.address.toLatin1();
    GPtr<InternetAddress> address(internet_address_mailbox_new(
        box.name.isEmpty() ? nullptr : box.name.toUtf8().constData(), box.address.toUtf8().constData()));
    char* text = internet_address_to_string(address.get(), nullptr, TRUE);
    QByteArray out(text);
    g_free(text);
    return out;
}

// Writes "Name: a, b, ..." folded before column 78, each address whole.
// Written here rather than by GMime, whose address objects and per-address
// IDN lookups make a list of thousands many times slower than handing the
// finished message to sendmail.
class AddressHeader {
public:
    AddressHeader(QByteArray& out, const char* name)
        : out_(out)
        , lineStart_(out.size())
    {
        out_ += name;
        out_ += ':';
    }

    // A plain ASCII address, copied without a detour through other strings.
    void addAscii(QStringView address)
    {
        separate(address.size());
        const qsizetype at = out_.size();
        out_.resize(at + address.size());
        char* d = out_.data() + at;
        for (QChar c : address)
            *d++ = char(c.unicode());
    }

    void add(const QByteArray& encoded)
    {
        separate(encoded.size());
        out_ += encoded;
    }

    void finish() { out_ += '\n'; }
    bool empty() const { return count_ == 0; }

private:
    void separate(qsizetype length)
    {
        constexpr qsizetype kWidth = 78;
        if (count_++ > 0)
            out_ += ',';
        // One blank before, and room for the comma that may follow.
        if (count_ > 1 && out_.size() - lineStart_ + 1 + length + 1 > kWidth) {
            out_ += "\n\t";
            lineStart_ = out_.size() - 1;
        } else {
            out_ += ' ';
        }
    }

    QByteArray& out_;
    qsizetype lineStart_;
    qsizetype count_ = 0;
};

bool isPlainAscii(QStringView entry)
{
    for (QChar c : entry)
        if (c.unicode() >= 0x80 || c == QLatin1Char('<'))
            return false;
    return true;
}

// Every entry of the recipients of one class; false for an entry that is
// no address.
bool appendRecipients(AddressHeader& header, const MapiMessage& m, quint32 recipClass)
{
    for (quint32 i = 0; i < m.nRecipCount; ++i) {
        if (m.lpRecips[i].ulRecipClass != recipClass)
            continue;
        for (QStringView entry : QStringView(m.lpRecips[i].lpszAddress).tokenize(u',')) {
            entry = entry.trimmed();
            if (entry.isEmpty())
                continue;
            if (isPlainAscii(entry)) {
                if (!validAddress(entry))
                    return false;
                header.addAscii(entry);
                continue;
            }
            MimeMail::Mailbox box;
            if (!MimeMail::parseMailbox(entry.toString(), box))
                return false;
            header.add(encodedMailbox(box));
        }
    }
    return true;
}

} // namespace

QString MimeMail::headerText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            continue; // CR LF: one blank, written for the LF
        const ushort u = c.unicode();
        const bool control = u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x2028 || u == 0x2029;
        out += control ? QLatin1Char(' ') : c;
    }
    return out;
}

QStringList MimeMail::splitAddresses(const QString& list)
{
    QStringList out;
    for (const QString& entry : list.split(QLatin1Char(','))) {
        const QString t = entry.trimmed();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

bool MimeMail::parseMailbox(const QString& entry, Mailbox& out)
{
    QString text = entry.trimmed();
    QString name;
    const qsizetype open = text.lastIndexOf(QLatin1Char('<'));
    if (text.endsWith(QLatin1Char('>')) && open >= 0) {
        name = text.left(open).trimmed();
        if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
            name = name.mid(1, name.size() - 2);
        for (QChar c : name)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                return false;
        text = text.mid(open + 1, text.size() - open - 2).trimmed();
    }
    if (!validAddress(text))
        return false;
    out.name = name;
    out.address = text;
    return true;
}

QString MimeMail::addressKey(const QString& entry)
{
    Mailbox box;
    if (entry.contains(QLatin1Char('<')) && parseMailbox(entry, box))
        return box.address.toLower();
    return entry.trimmed().toLower();
}

QString MimeMail::bareAddress(const QString& originatorAddress)
{
    if (originatorAddress.startsWith(QLatin1String("SMTP:"), Qt::CaseInsensitive))
        return originatorAddress.mid(5);
    return originatorAddress;
}

quint32 MimeMail::checkAttachment(const QString& path)
{
    int fd = -1;
    const quint32 result = openAttachment(path, fd);
    if (fd >= 0)
        ::close(fd);
    return result;
}

namespace {

// The To, Cc and Bcc header lines of every recipient entry.
quint32 recipientList(const MapiMessage& m, bool withBcc, QByteArray& recipientHeaders)
{
    qsizetype listLength = 0;
    for (quint32 i = 0; i < m.nRecipCount; ++i) {
        if (m.lpRecips[i].ulRecipClass < 1 || m.lpRecips[i].ulRecipClass > 3)
            return MAPI_E_BAD_RECIPTYPE;
        listLength += m.lpRecips[i].lpszAddress.size();
    }
    recipientHeaders.reserve(listLength + listLength / 16 + 64);
    bool any = false;
    for (quint32 cls = 1; cls <= 3; ++cls) {
        const qsizetype before = recipientHeaders.size();
        AddressHeader header(recipientHeaders, headerName(cls));
        if (!appendRecipients(header, m, cls))
            return MAPI_E_INVALID_RECIPS;
        if (header.empty()) {
            recipientHeaders.truncate(before);
            continue;
        }
        header.finish();
        any = true;
        if (cls == 3 && !withBcc)
            recipientHeaders.truncate(before);
    }
    return any ? SUCCESS_SUCCESS : MAPI_E_INVALID_RECIPS;
}

// The open parts of a personalised sending: texts that stand in for the subject and
// the body while the shared part is built, found again afterwards. Random,
// so no message text can hold them.
struct OpenParts {
    QString subject;
    QString body;
};

// The subject line exactly as GMime writes it in a message.
QByteArray subjectLine(const QString& subject)
{
    GMimeHeaderList* headers = g_mime_header_list_new(nullptr);
    g_mime_header_list_set(headers, "Subject", utf8Header(subject).constData(), "utf-8");
    char* text = g_mime_header_list_to_string(headers, nullptr);
    QByteArray out(text);
    g_free(text);
    g_object_unref(headers);
    return out;
}

// The text part exactly as GMime writes it, headers included.
QByteArray textPartBytes(const QString& body)
{
    GPtr<GMimeObject> part(textPart(body));
    GPtr<GMimeStream> sink(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(part.get(), nullptr, sink.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(sink.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
}

// The whole message, or with shared set the part every recipient of a
// private sending gets alike: no recipient headers and no Message-ID.
quint32 buildMessage(const MapiMessage& m, bool shared, bool withBcc, const MimeMail::ExtraHeaders& extra,
    const OpenParts& parts, QByteArray& out)
{
    using MimeMail::Mailbox;
    using MimeMail::bareAddress;
    using MimeMail::parseMailbox;
    out.clear();
    ensureGMime();

    Mailbox from;
    if (!m.lpOriginator || !parseMailbox(bareAddress(m.lpOriginator->lpszAddress), from))
        return MAPI_E_INVALID_MESSAGE;
    // The name falls back to the address; repeating it as a display name
    // adds nothing.
    const QString senderName = m.lpOriginator->lpszName;
    if (!senderName.isEmpty() && senderName != from.address && senderName != bareAddress(m.lpOriginator->lpszAddress))
        from.name = senderName;

    GPtr<GMimeMessage> message(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM,
        from.name.isEmpty() ? nullptr : utf8Header(from.name).constData(), from.address.toUtf8().constData());

    QByteArray recipientHeaders;
    if (!shared) {
        if (const quint32 r = recipientList(m, withBcc, recipientHeaders))
            return r;
    }

    g_mime_message_set_subject(
        message.get(), utf8Header(parts.subject.isEmpty() ? m.lpszSubject : parts.subject).constData(), "utf-8");
    for (const auto& [name, value] : extra)
        g_mime_object_append_header(GMIME_OBJECT(message.get()), name.constData(), value.constData(), nullptr);
    GDateTime* now = g_date_time_new_now_local();
    g_mime_message_set_date(message.get(), now);
    g_date_time_unref(now);
    if (!shared) {
        char* id = g_mime_utils_generate_message_id(messageIdDomain(from.address).constData());
        g_mime_message_set_message_id(message.get(), id);
        g_free(id);
    }

    GPtr<GMimeObject> text(textPart(parts.body.isEmpty() ? m.lpszNoteText : parts.body));
    if (m.nFileCount == 0) {
        g_mime_message_set_mime_part(message.get(), text.get());
    } else {
        GPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.get(), text.get());
        for (quint32 i = 0; i < m.nFileCount; ++i) {
            int fd = -1;
            if (const quint32 r = openAttachment(m.lpFiles[i].lpszPathName, fd))
                return r;
            GPtr<GMimeObject> part(filePart(m.lpFiles[i], fd));
            g_mime_multipart_add(mixed.get(), part.get());
        }
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
    }

    // Sized for the whole message up front: growing 1 MB at a time would
    // copy it over and over.
    qsizetype estimate = 16384 + bodyBytesEstimate(m.lpszNoteText);
    for (quint32 i = 0; i < m.nFileCount; ++i)
        estimate += QFileInfo(m.lpFiles[i].lpszPathName).size() / 57 * 78 + 1024;
    estimate = std::min<qsizetype>(estimate, qsizetype(1) << 30);
    GPtr<GMimeStream> sink(g_mime_stream_mem_new_with_byte_array(g_byte_array_sized_new(guint(estimate))));
    if (g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), nullptr, sink.get()) < 0)
        return m.nFileCount ? MAPI_E_ATTACHMENT_OPEN_FAILURE : MAPI_E_FAILURE;
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(sink.get()));
    // The recipient headers go first; the order of header fields is free.
    out.reserve(recipientHeaders.size() + qsizetype(bytes->len));
    out += recipientHeaders;
    out.append(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
    return SUCCESS_SUCCESS;
}

} // namespace

quint32 MimeMail::build(const MapiMessage& message, QByteArray& out, const ExtraHeaders& extra, bool withBcc)
{
    return buildMessage(message, false, withBcc, extra, {}, out);
}

quint32 MimeMail::buildShared(const MapiMessage& message, QByteArray& out, const ExtraHeaders& extra)
{
    return buildMessage(message, true, true, extra, {}, out);
}

quint32 MimeMail::SharedTemplate::build(
    const MapiMessage& message, bool personalSubject, bool personalBody, const ExtraHeaders& extra)
{
    ensureGMime();
    *this = {};
    subject_ = personalSubject;
    body_ = personalBody;
    const QString token = QUuid::createUuid().toString(QUuid::Id128);
    OpenParts parts;
    if (subject_)
        parts.subject = QStringLiteral("velmaro-oggetto-") + token;
    if (body_)
        parts.body = QStringLiteral("velmaro-testo-") + token + QLatin1Char('\n');
    if (const quint32 r = buildMessage(message, true, true, extra, parts, shared_))
        return r;
    // Each open part must stand exactly once where the slot text was put.
    const auto locate = [this](const QByteArray& piece, qsizetype from, qsizetype& at, qsizetype& end) {
        at = shared_.indexOf(piece, from);
        end = at + piece.size();
        return at >= 0 && shared_.indexOf(piece, end) < 0;
    };
    if (subject_ && !locate(subjectLine(parts.subject), 0, subjectAt_, subjectEnd_)) {
        shared_.clear();
        return MAPI_E_FAILURE;
    }
    if (body_ && !locate(textPartBytes(parts.body), subject_ ? subjectEnd_ : 0, bodyAt_, bodyEnd_)) {
        shared_.clear();
        return MAPI_E_FAILURE;
    }
    return SUCCESS_SUCCESS;
}

QList<QByteArrayView> MimeMail::SharedTemplate::pieces(const QByteArray& subject, const QByteArray& textPart) const
{
    const QByteArrayView all(shared_);
    QList<QByteArrayView> out;
    qsizetype from = 0;
    if (subject_) {
        out << all.sliced(from, subjectAt_ - from) << QByteArrayView(subject);
        from = subjectEnd_;
    }
    if (body_) {
        out << all.sliced(from, bodyAt_ - from) << QByteArrayView(textPart);
        from = bodyEnd_;
    }
    out << all.sliced(from);
    return out;
}

QByteArray MimeMail::subjectLine(const QString& subject)
{
    ensureGMime();
    return ::subjectLine(subject);
}

namespace {

// The longest line 7bit text may have (RFC 5322).
constexpr qsizetype kMaxLine = 998;

// One line (no line break) as quoted-printable (RFC 2045): at most 76
// characters a line, soft breaks between whole characters, blanks at its end
// encoded.
void appendQuoted(QByteArrayView line, QByteArray& out)
{
    static const char kHex[] = "0123456789ABCDEF";
    qsizetype column = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const uchar c = uchar(line[i]);
        const bool last = i + 1 == line.size();
        const bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
        const int width = literal ? 1 : 3;
        // Room for the soft break's "=" unless this is the line's end.
        if (column + width > (last ? 76 : 75)) {
            out += "=\n";
            column = 0;
        }
        if (literal) {
            out += char(c);
        } else {
            out += '=';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        column += width;
    }
}

bool sevenBitLine(QByteArrayView utf8)
{
    if (utf8.size() > kMaxLine)
        return false;
    for (char c : utf8)
        if (uchar(c) >= 0x80 || c == '\0' || c == '\r')
            return false;
    return true;
}

QStringList bodyLines(const QString& text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised.split(QLatin1Char('\n'));
}

} // namespace

MimeMail::TextTemplate::TextTemplate(const QString& body)
{
    // A placeholder never spans a line break, so each line stands alone.
    for (const QString& text : bodyLines(body)) {
        Line line;
        if (Placeholders::any(text)) {
            line.pieces = Placeholders::parse(text);
        } else {
            line.utf8 = text.toUtf8();
            appendQuoted(line.utf8, line.quoted);
            line.sevenBit = sevenBitLine(line.utf8);
        }
        lines_ << std::move(line);
    }
}

QByteArray MimeMail::TextTemplate::part(const std::function<QString(const QList<Placeholders::Piece>&)>& expand) const
{
    // The lines this recipient reads: a value's own line breaks add lines.
    struct Own {
        QList<QByteArray> utf8;
    };
    QList<Own> own(lines_.size());
    bool sevenBit = true;
    qsizetype size = 0;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.pieces.isEmpty()) {
            sevenBit = sevenBit && line.sevenBit;
            size += line.quoted.size() + 1;
            continue;
        }
        for (const QString& text : bodyLines(expand(line.pieces))) {
            own[i].utf8 << text.toUtf8();
            sevenBit = sevenBit && sevenBitLine(own[i].utf8.last());
            size += own[i].utf8.last().size() * 3 + 1;
        }
    }
    QByteArray out;
    out.reserve(size + 128);
    out += "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: ";
    out += sevenBit ? "7bit\n\n" : "quoted-printable\n\n";
    bool first = true;
    const auto add = [&](QByteArrayView utf8, QByteArrayView quoted) {
        if (!first)
            out += '\n';
        first = false;
        if (sevenBit)
            out += utf8;
        else if (!quoted.isNull())
            out += quoted;
        else
            appendQuoted(utf8, out);
    };
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (lines_[i].pieces.isEmpty()) {
            add(lines_[i].utf8, lines_[i].quoted);
            continue;
        }
        for (const QByteArray& utf8 : own[i].utf8)
            add(utf8, {});
    }
    return out;
}

QByteArray MimeMail::recipientHeaders(const Mailbox& to, const QString& senderAddress)
{
    ensureGMime();
    QByteArray out;
    AddressHeader header(out, "To");
    header.add(encodedMailbox(to));
    header.finish();
    // Made here rather than by GMime, which reads the system's random
    // source anew for every identifier: one private sending makes thousands.
    const quint64 unique[2] = { QRandomGenerator::global()->generate64(), QRandomGenerator::global()->generate64() };
    out += "Message-ID: <";
    out += QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 36);
    out += '.';
    out += QByteArray(reinterpret_cast<const char*>(unique), sizeof unique).toHex();
    out += '@';
    out += messageIdDomain(bareAddress(senderAddress));
    out += ">\n";
    return out;
}
