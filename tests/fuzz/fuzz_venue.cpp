// Feeds damaged venue images to the reader. It must never read out of
// bounds; a refused image leaves every byte of the parameter set as it
// was; an accepted one survives being saved and loaded again unchanged, and
// the editor's display refresh runs on it (under the sanitizers, any table
// or record looked up with a value out of range shows up here).
//
// Random bytes rarely reach the level table of an 11 KB image, so most
// inputs are turned into a patch on a valid image: two bytes choose where
// the image is cut, two where the rest of the input is XORed in.
#include "../GuiRig.h"
#include "data/ParamData.h"
#include "data/VenueFile.h"
#include "platform/CodePage.h"

#include <QApplication>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

QByteArray ValidImage(const CodePage& cp) {
    ParamData d;
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        d.InitMemoryData(m);
        d.BankData[m].InNameStr[m % 12] = QStringLiteral("Mic %1").arg(m);
        d.BankData[m].MemNameStr = QStringLiteral("会議 %1").arg(m);
    }
    return EncodeVenue(d, cp);
}

// A parameter set unlike what any load would leave, so that a change shows.
ParamData Before() {
    ParamData d;
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        d.InitMemoryData(m);
        d.BankData[m].In[m % 10].Fader = 99;
        d.BankData[m].SpkNameStr[0] = QStringLiteral("Before %1").arg(m);
        d.MemLevel[m].Out[m % 7] = 77;
    }
    d.MemNo = 5;
    d.VenueName = QStringLiteral("Hall");
    d.BackupMemory();
    d.VenueNameBak = QStringLiteral("Older hall");
    d.In48VFlag = {1, 0, 1, 0, 0, 1};
    d.MicLineStat = 0x15;
    d.MicLineStatOld = 0x2A;
    return d;
}

bool SameRecords(const ParamData& a, const ParamData& b) {
    return a.BankData == b.BankData &&
           std::memcmp(a.MemLevel.data(), b.MemLevel.data(), sizeof a.MemLevel) == 0;
}

bool Same(const ParamData& a, const ParamData& b) {
    return SameRecords(a, b) && a.BankBackup == b.BankBackup && a.CurBank == b.CurBank &&
           a.MemNo == b.MemNo && a.VenueName == b.VenueName && a.VenueNameBak == b.VenueNameBak &&
           a.VenueLoaded == b.VenueLoaded && a.In48VFlag == b.In48VFlag && a.MicLineStat == b.MicLineStat &&
           a.MicLineStatOld == b.MicLineStatOld;
}

// The program's windows, started once, offline, with no port to find.
struct Windows : GuiRig {
    Windows() {
        Check(top->Form_Initialize());
        top->Timer1.stop();
        top->ConnectTimer.stop();
    }

    // Every display routine of the editor on the loaded records.
    void refresh(const ParamData& loaded) {
        ParamData& d = app->data;
        d.BankData = loaded.BankData;
        d.MemLevel = loaded.MemLevel;
        d.VenueName = loaded.VenueName;
        MainWind& m = *top->mainWind;
        m.DispAllParam();
        m.KnobLevelsRead(0);
        m.KnobLevelsRead(1);
        m.MeterLampClear();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication qapp(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const CodePage pages[] = {CodePage(CodePage::Western), CodePage(CodePage::Japanese)};
    static const QByteArray base = ValidImage(pages[1]);
    static const ParamData before = Before();
    static Windows windows;
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

    ParamData d = before;
    if (!DecodeVenue(d, cp, image, online)) {
        Check(Same(d, before));
        return 0;
    }
    Check(d.VenueLoaded);
    Check(online || d.MemLevel[16].Out[6] == 125);

    // Saved and loaded again: the same records, the same bytes.
    const QByteArray saved = EncodeVenue(d, cp);
    ParamData again;
    Check(DecodeVenue(again, cp, saved, online));
    Check(SameRecords(again, d));
    Check(EncodeVenue(again, cp) == saved);

    windows.refresh(d);
    return 0;
}
