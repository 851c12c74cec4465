#include "window/DialogFilter.h"

#include <algorithm>

namespace kestrane {

namespace {

// "*.DAT" -> "*.dat *.DAT"; ";" separates patterns in the filter syntax.
// Lower case first: Windows' dialog adds the first pattern's extension to a
// name typed without it, and Wine's compares case by case, so that "out.xls"
// would come back as "out.xls.XLS" behind an upper-case first pattern.
QStringList patternsOf(const QString &patternField)
{
    QStringList patterns;
    for (const QString &raw : patternField.split(QLatin1Char(';'))) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        for (const QString &variant : {pattern.toLower(), pattern, pattern.toUpper()}) {
            if (!patterns.contains(variant))
                patterns.append(variant);
        }
    }
    if (patterns.isEmpty())
        patterns.append(QStringLiteral("*"));
    return patterns;
}

// The description without a trailing "(...)" list of its own.
QString descriptionWithoutPatterns(const QString &description)
{
    QString text = description.trimmed();
    if (text.endsWith(QLatin1Char(')'))) {
        const qsizetype open = text.lastIndexOf(QLatin1Char('('));
        if (open >= 0)
            text = text.left(open).trimmed();
    }
    return text;
}

} // namespace

QStringList qtNameFilters(const QString &filter)
{
    const QStringList fields = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i < fields.size(); i += 2) {
        const QString description = fields[i];
        const QString patternField = i + 1 < fields.size() ? fields[i + 1] : QString();
        if (description.trimmed().isEmpty() && patternField.trimmed().isEmpty())
            continue;
        const QString list = QLatin1Char('(') + patternsOf(patternField).join(QLatin1Char(' '))
                             + QLatin1Char(')');
        const QString text = descriptionWithoutPatterns(description);
        result.append(text.isEmpty() ? list : text + QLatin1Char(' ') + list);
    }
    return result;
}

QString firstExtension(const QString &filter)
{
    const QStringList fields = filter.split(QLatin1Char('|'));
    if (fields.size() < 2)
        return QString();
    const QString pattern = fields[1].split(QLatin1Char(';')).front().trimmed();
    if (!pattern.startsWith(QLatin1String("*.")))
        return QString();
    const QString extension = pattern.mid(2);
    const bool plain = !extension.isEmpty()
                       && std::all_of(extension.begin(), extension.end(), [](QChar c) { return c.isLetterOrNumber(); });
    return plain ? extension.toLower() : QString();
}

QString withExtension(const QString &path, const QString &extension)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    if (extension.isEmpty() || nameStart == path.size())
        return path;
    // A leading dot marks a hidden file, not an extension.
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > nameStart;
    if (hasExtension && path.mid(dot + 1).compare(extension, Qt::CaseInsensitive) == 0)
        return path;
    return (hasExtension ? path.left(dot) : path) + QLatin1Char('.') + extension;
}

} // namespace kestrane
