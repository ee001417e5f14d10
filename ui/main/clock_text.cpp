#include "ui/main/clock_text.h"

namespace morvane::ui {

namespace {

bool IsEdgeFiller(QChar c) {
    return c.isSpace() || c == u',' || c == u'\u060C' /* Arabic comma */;
}

// Index just past the quoted literal that opens at `from` ('' inside a
// literal is a quote character), or the end of the text when it never closes.
qsizetype SkipQuoted(const QString& format, qsizetype from) {
    qsizetype i = from + 1;
    while (i < format.size()) {
        if (format[i] == u'\'') {
            if (i + 1 < format.size() && format[i + 1] == u'\'') {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

qsizetype SkipZoneLetters(const QString& format, qsizetype from) {
    qsizetype i = from;
    while (i < format.size() && format[i] == u't') {
        ++i;
    }
    return i;
}

} // namespace

QString TimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    out.reserve(format.size());
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            const qsizetype end = SkipQuoted(format, i);
            out += QStringView(format).mid(i, end - i);
            i = end;
        } else if (c == u't') {
            i = SkipZoneLetters(format, i);
        } else if (c == u'(' || c == u'[') {
            // "(t)" and "[t]" go as a whole; any other bracket stays.
            const QChar close = c == u'(' ? u')' : u']';
            const qsizetype afterZone = SkipZoneLetters(format, i + 1);
            if (afterZone > i + 1 && afterZone < format.size() && format[afterZone] == close) {
                i = afterZone + 1;
            } else {
                out += c;
                ++i;
            }
        } else {
            out += c;
            ++i;
        }
    }
    // Blanks and commas that stood between the zone and the time.
    qsizetype first = 0;
    qsizetype last = out.size();
    while (first < last && IsEdgeFiller(out[first])) {
        ++first;
    }
    while (last > first && IsEdgeFiller(out[last - 1])) {
        --last;
    }
    return out.mid(first, last - first);
}

QString ClockText(const QDateTime& now, const QLocale& locale) {
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), TimeFormatWithoutZone(locale));
}

} // namespace morvane::ui
