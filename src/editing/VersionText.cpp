#include "editing/VersionText.h"

#include "engine/TextRules.h"

namespace {

// The text merged last, or the box's loaded value, or its text.
QString previousText(const QString &last, const VersionBox &box)
{
    if (!last.isEmpty())
        return last;
    return box.LoadedValue.isEmpty() ? box.text : box.LoadedValue;
}

// Replaces the first occurrence of previous in memo (ignoring case) with the new text
// upper-cased; answers false when previous does not occur.
bool replaceFirst(QString &memo, const QString &previous, const QString &text)
{
    // asciiUpper keeps lengths, so positions in the upper-cased memo are positions in memo.
    const qsizetype at = asciiUpper(memo).indexOf(asciiUpper(previous));
    if (at < 0)
        return false;
    memo.replace(at, previous.size(), asciiUpper(text));
    return true;
}

} // namespace

VersionMemo UpdateVersion(const VersionMemo &state, const VersionBox &model,
                          const VersionBox *typeVersion)
{
    VersionMemo out = state;
    if (!model.described)
        return out;
    if (!model.text.isEmpty()) {
        if (!replaceFirst(out.memo, previousText(out.LastModel, model), model.text))
            out.memo = asciiUpper(model.text) + QLatin1Char(' ') + out.memo.trimmed();
        out.LastModel = model.text;
    }
    if (typeVersion && typeVersion->described && !typeVersion->text.isEmpty()) {
        if (!replaceFirst(out.memo, previousText(out.LastTypeVersion, *typeVersion),
                          typeVersion->text))
            out.memo = out.memo.trimmed() + QLatin1Char(' ') + asciiUpper(typeVersion->text);
        out.LastTypeVersion = typeVersion->text;
    }
    return out;
}
