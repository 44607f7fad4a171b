#pragma once

// GIO, pulled in by GMime, has struct members named "signals", which Qt's
// keyword macro would rewrite.
#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

// A message read back with GMime, as a mail program would show it.
namespace ParsedMail {

struct Message {
    QString from, fromName, subject, text, attachmentName;
    QStringList to;
    QByteArray attachment, headers;
    bool hasBcc = false, hasDate = false, hasMessageId = false;

    // The raw value of a header field (unfolded), empty when missing.
    QByteArray header(const char* name) const
    {
        const QByteArray wanted = QByteArray(name) + ": ";
        QByteArray value;
        bool in = false;
        for (QByteArray line : headers.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (in && (line.startsWith(' ') || line.startsWith('\t'))) {
                value += line;
                continue;
            }
            in = line.startsWith(wanted);
            if (in)
                value = line.mid(wanted.size());
        }
        return value;
    }
};

inline QByteArray partBytes(GMimePart* part)
{
    GMimeStream* mem = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(part), mem);
    GByteArray* b = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(mem));
    QByteArray out(reinterpret_cast<const char*>(b->data), qsizetype(b->len));
    g_object_unref(mem);
    return out;
}

inline Message parse(const QByteArray& raw)
{
    g_mime_init();
    Message m;
    const qsizetype crlf = raw.indexOf("\r\n\r\n");
    const qsizetype lf = raw.indexOf("\n\n");
    m.headers = raw.left(crlf >= 0 && (lf < 0 || crlf < lf) ? crlf + 2 : lf + 1);
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(raw.constData(), size_t(raw.size()));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* msg = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    if (!msg)
        return m;
    InternetAddressList* from = g_mime_message_get_from(msg);
    if (internet_address_list_length(from) == 1) {
        InternetAddress* a = internet_address_list_get_address(from, 0);
        m.fromName = QString::fromUtf8(internet_address_get_name(a));
        m.from = QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)));
    }
    InternetAddressList* to = g_mime_message_get_to(msg);
    for (int i = 0; i < internet_address_list_length(to); ++i)
        m.to << QString::fromUtf8(
            internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(internet_address_list_get_address(to, i))));
    m.subject = QString::fromUtf8(g_mime_message_get_subject(msg));
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(msg));
    m.hasBcc = g_mime_header_list_contains(headers, "Bcc");
    m.hasDate = g_mime_message_get_date(msg) != nullptr;
    m.hasMessageId = g_mime_message_get_message_id(msg) != nullptr;

    GMimeObject* body = g_mime_message_get_mime_part(msg);
    GMimeObject* text = body;
    if (GMIME_IS_MULTIPART(body)) {
        text = g_mime_multipart_get_part(GMIME_MULTIPART(body), 0);
        GMimePart* file = GMIME_PART(g_mime_multipart_get_part(GMIME_MULTIPART(body), 1));
        m.attachmentName = QString::fromUtf8(g_mime_part_get_filename(file));
        m.attachment = partBytes(file);
    }
    char* t = g_mime_text_part_get_text(GMIME_TEXT_PART(text));
    m.text = QString::fromUtf8(t);
    g_free(t);
    g_object_unref(msg);
    return m;
}

// Every message a one-file-per-message stand-in left in folder, with their
// bytes when raw is given.
inline QList<Message> allIn(const QString& folder, QList<QByteArray>* raw = nullptr)
{
    QList<Message> out;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile in(f.filePath());
        if (!in.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = in.readAll();
        if (raw)
            *raw << bytes;
        out << parse(bytes);
    }
    return out;
}

} // namespace ParsedMail
