// Feeds damaged venue images to the reader: it must never read out of
// bounds, and a rejected image must leave the records as they were.
//
// Random bytes rarely reach the level table of an 11 KB image, so most
// inputs are turned into a patch on a valid image: two bytes choose where
// the image is cut, two where the rest of the input is XORed in.
#include "data/ParamData.h"
#include "data/VenueFile.h"
#include "platform/CodePage.h"

#include <cstdlib>

namespace {

QByteArray ValidImage(const CodePage& cp) {
    ParamData d;
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        d.InitMemoryData(m);
        d.BankData[m].InNameStr[m % 12] = QStringLiteral("Mic %1").arg(m);
        d.BankData[m].MemNameStr = QStringLiteral("会議 %1").arg(m);
    }
    return EncodeVenue(d, cp);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const CodePage pages[] = {CodePage(CodePage::Western), CodePage(CodePage::Japanese)};
    static const QByteArray base = ValidImage(pages[1]);
    const CodePage& cp = pages[size % 2];
    const bool online = size % 3 == 0;

    QByteArray image;
    if (size >= 4 && (data[0] & 1) == 0) {
        const qsizetype span = base.size() + 64;
        const qsizetype cut = ((data[0] << 8 | data[1]) * span) >> 16;
        const qsizetype at = ((data[2] << 8 | data[3]) * span) >> 16;
        image = base.left(cut);
        if (cut > base.size())
            image.append(QByteArray(cut - base.size(), '\0'));
        for (size_t i = 4; i < size && at + static_cast<qsizetype>(i) - 4 < image.size(); ++i)
            image[at + static_cast<qsizetype>(i) - 4] ^= static_cast<char>(data[i]);
    } else {
        image = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }

    ParamData d;
    d.BankData[0].In[0].Fader = 99;
    const bool ok = DecodeVenue(d, cp, image, online);
    if (!ok && (d.BankData[0].In[0].Fader != 99 || d.VenueLoaded))
        std::abort();
    if (ok && !online && d.MemLevel[16].Out[6] != 125)
        std::abort();
    return 0;
}
