#include "core/model/placeholdervalues.h"
#include "core/model/sampledocument.h"
#include "fuzz/fuzzcheck.h"

#include <QDateTime>

// Placeholder replacement over any line a user or a stored record may hold, on the sample
// document that fills every preview. The first byte chooses the currency comparison.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const DocumentData document =
            sampleDocument(0.5, QStringLiteral("EUR"), QStringLiteral("CHF"),
                           QDateTime(QDate(2024, 3, 1), QTime(10, 30)));
    if (size == 0)
        return 0;
    const bool secondCurrency = data[0] & 1;
    const QString text = QString::fromUtf8(fuzzBytes(data + 1, size - 1));
    const QString replaced = replacePlaceholders(text, document, secondCurrency);
    // Placeholders are enclosed in '#': a line without one stays as it is.
    if (!text.contains(u'#'))
        fuzzCheck(replaced == text, "a line without placeholders is kept");
    return 0;
}
