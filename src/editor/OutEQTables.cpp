#include "editor/OutEQTables.h"

#include "data/Tables.h"

#include <QFile>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

// Far more than the file's 3,700-odd numbers in any layout.
constexpr qint64 MaxFileBytes = 1 << 20;

// The nearest whole number, a half going to the even one.
int NearestEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// Columns from 20 Hz to f.
double Column(double f) {
    return 200.0 * std::log10(f / 20.0);
}

bool IsSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The numbers of text in order, as long as each field is one.
class Fields {
public:
    explicit Fields(const QByteArray& text) : p_(text.constData()), end_(p_ + text.size()) {}

    template <class T> bool next(T& out) {
        while (p_ < end_ && IsSeparator(*p_))
            ++p_;
        const char* start = p_;
        while (p_ < end_ && !IsSeparator(*p_))
            ++p_;
        if (start == p_)
            return false;
        // A leading plus sign is a number's too, which from_chars does not take.
        if (*start == '+')
            ++start;
        const auto [ptr, ec] = std::from_chars(start, p_, out);
        return ec == std::errc() && ptr == p_;
    }

private:
    const char* p_;
    const char* end_;
};

} // namespace

OutEQTables::OutEQTables() {
    for (int i = 0; i < Gains; ++i) {
        OEQGain[i] = static_cast<float>(i * 0.5 - 15);
        OEQMarkY[i] = static_cast<float>(153 - 5 * (i - 30));
    }
    std::array<float, Freqs> freqs{};
    std::array<float, Qs> qs{};
    for (int k = 0; k < Freqs; ++k)
        freqs[k] = static_cast<float>(EQFreqTbl[k]);
    for (int q = 0; q < Qs; ++q)
        qs[q] = static_cast<float>(EQQTbl[q]);
    setLists(freqs.data(), qs.data());
}

void OutEQTables::setLists(const float* freqs, const float* qs) {
    for (int k = 0; k < Freqs; ++k) {
        OEQFreq[k] = freqs[k];
        // The nearest column of the frequency (a half going up), less
        // the 3 units from the marker's edge to its middle.
        OEQMarkX[k] = static_cast<float>(
            std::floor((std::log(double(OEQFreq[k])) - std::log(20.0)) / std::log(10.0) * 200 + 0.5) - 3);
    }
    for (int q = 0; q < Qs; ++q)
        OEQQ[q] = qs[q];
}

bool OutEQTables::ReadTemplates(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.read(MaxFileBytes);
    Fields fields(text);
    std::array<float, Freqs> freqs{};
    std::array<float, Qs> qs{};
    for (float& f : freqs)
        if (!fields.next(f))
            return false;
    for (float& q : qs)
        if (!fields.next(q))
            return false;
    std::vector<std::array<double, 1 + Templates>> rows(Columns);
    for (auto& row : rows)
        for (double& v : row)
            if (!fields.next(v))
                return false;
    // Only a whole file is taken, so that a short one leaves no half curve.
    setLists(freqs.data(), qs.data());
    for (int i = 0; i < Columns; ++i) {
        OEQAxis[i] = rows[i][0];
        for (int t = 0; t < Templates; ++t)
            OEQTmpl[i][t] = rows[i][1 + t];
    }
    return true;
}

void OutEQTables::bell(int b, const OutEQBand& band) {
    const float q = OEQQ[band.q];
    for (int i = 0; i < Columns; ++i) {
        const auto j =
            static_cast<long>(std::floor(static_cast<long double>(i) * static_cast<long double>(q)));
        OEQWork[i] = j >= 0 && j < Columns ? OEQTmpl[j][0] : OEQTmpl[Columns - 1][0];
    }
    const int c = NearestEven(Column(OEQFreq[band.freq])) + 1;
    for (int i = 0; i < Columns; ++i) {
        if (c + i < Columns)
            OEQCurve[c + i][b] = OEQWork[i];
        if (c - i >= 0)
            OEQCurve[c - i][b] = OEQWork[i];
    }
}

void OutEQTables::shifted(int b, const OutEQBand& band) {
    // The 1 kHz template moved to the band's frequency; beyond its ends the
    // end values hold.
    const int s = NearestEven(200.0 * std::log10(1000.0 / OEQFreq[band.freq])) + 1;
    for (int x = 0; x < Columns; ++x) {
        const int k = x + s;
        OEQCurve[x][b] = OEQTmpl[k < 0 ? 0 : k >= Columns ? Columns - 1 : k][band.type];
    }
}

void OutEQTables::Compute(const OutEQBands& bands) {
    for (int b = 0; b < Bands; ++b) {
        const OutEQBand& band = bands[b];
        if (band.type == 0)
            bell(b, band);
        else
            shifted(b, band);
        // The templates of the bell and the shelves are drawn for +10 dB;
        // the pass filters have no gain.
        const double g = band.type == 1 || band.type == 2 ? 10.0 : OEQGain[band.gain];
        for (int x = 0; x < Columns; ++x)
            OEQCurve[x][b] = g * OEQCurve[x][b] / 10;
    }
    for (int x = 0; x < Columns; ++x) {
        float sum = 0;
        for (int b = 0; b < Bands; ++b)
            sum = static_cast<float>(sum + OEQCurve[x][b]);
        Sum[x] = sum;
    }
}

QString OutEQTables::FreqText(int k) const {
    // The general number text of a 32-bit value: up to 7 digits, no
    // trailing zeros.
    const auto general = [](float v) { return QString::number(double(v), 'g', 7); };
    const float f = OEQFreq[k];
    return f >= 1000 ? general(f / 1000.0f) + QLatin1Char('k') : general(f);
}
