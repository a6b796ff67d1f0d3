#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The text-only sections edited by the heading editor, by section code 0..85 (84 unused).
struct HeadingSection
{
    int code = -1;
    QString kennung;
    QString maske; // preset key of the form store
    QString title; // German name of the section, e.g. "Bonüberschrift"
};

const QList<HeadingSection> &headingSections();
std::optional<HeadingSection> headingSection(int code);
std::optional<HeadingSection> headingSectionByKennung(const QString &kennung);

// Signature-pad texts: what is signed (up to 10 lines, 5 by default) and who signs (1 line).
enum class SignpadGroup { None, What, Who };
SignpadGroup signpadGroup(int code);
// Sections whose lines carry the per-account flag ("Je Sachkonto"); 37 also shows it.
bool hasPerAccountFlag(int code);
bool showsPerAccountFlag(int code);
// Sections whose preview shows amounts in currency 2 (the receipt and invoice headings).
bool isSumSection(int code);

// Font of a section's default design: name and size as the selectors show them.
struct KTFontInfo
{
    QString fontName;
    QString fontSize;
};
using KTFontInfoFunction = std::function<KTFontInfo(const QString &kennung)>;

// Default designs of the heading sections, used when neither the workstation nor the
// template workstation has a record. A design is a heading settings list.
class TKRT_LayBonDefaultDesign
{
public:
    // The engine's fonts reach a design through fontInfo.
    explicit TKRT_LayBonDefaultDesign(KTFontInfoFunction fontInfo);
    // Fills list with the default settings list of the section; false when it has none.
    bool GetDefaultDesignForKennung(const QString &kennung, QStringList &list) const;

private:
    KTFontInfoFunction m_fontInfo;
};
