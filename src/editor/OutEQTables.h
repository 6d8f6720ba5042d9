#pragma once

#include <QString>
#include <array>

// The output EQ graph's tables and the arithmetic of its curve, apart from
// any painting. The curve is not computed from filter formulas: it is put
// together from the templates of pat/outeq.pat, which also lists the
// frequencies and Q values that the bands' indices point into.
//
// The graph's horizontal axis has 601 columns, 200 per decade from 20 Hz
// (column x stands for 20 * 10^(x / 200) Hz); heights are 10 units per dB,
// 0 dB at 159, growing downwards.

// One band as the graph draws it: the type its selector shows (0 P. EQ,
// 1 HPF, 2 LPF, 3 L.Shelf, 4 H.Shelf) and its three indices.
struct OutEQBand {
    int type = 0;
    int freq = 0; // into OEQFreq
    int q = 0;    // into OEQQ
    int gain = 30; // into OEQGain; 30 is 0 dB
};

using OutEQBands = std::array<OutEQBand, 6>;

class OutEQTables {
public:
    static constexpr int Columns = 601;
    static constexpr int Freqs = 54, Qs = 24, Gains = 61, Templates = 5, Bands = 6;

    // Gain and marker-height tables filled; until a template file is read,
    // the frequencies and Qs are the unit's own lists and every template is
    // flat, so that the graph shows a level line and the markers stand at
    // their places.
    OutEQTables();

    // Reads the template file: 54 frequencies, 24 Qs, then 601 rows of the
    // axis value and the five templates, separated by commas, blanks or
    // line ends. False when the file is missing, short or holds something
    // that is not a number; the tables are then as construction left them.
    bool ReadTemplates(const QString& path);

    // Fills OEQCurve with each band's response and Sum with their total.
    void Compute(const OutEQBands& bands);

    // The frequency of index k as the band texts show it: 1000 -> "1k",
    // 1250 -> "1.25k", 630 -> "630".
    QString FreqText(int k) const;

    // Band frequency in Hz and Q value per index, from the file.
    std::array<float, Freqs> OEQFreq{};
    std::array<float, Qs> OEQQ{};
    // The first number of each template row (the column's frequency); kept
    // as read, the columns' own positions are what the arithmetic uses.
    std::array<double, Columns> OEQAxis{};
    // Per row: 0 the +10 dB half bell at Q 1, row j at j columns from the
    // centre; 1 to 4 the high-pass, low-pass, +10 dB low and high shelves
    // at 1 kHz, row x at graph column x.
    std::array<std::array<double, Templates>, Columns> OEQTmpl{};
    // dB per gain index: i * 0.5 - 15.
    std::array<float, Gains> OEQGain{};
    // A marker's left edge per frequency index and its top per gain index.
    std::array<float, Freqs> OEQMarkX{};
    std::array<float, Gains> OEQMarkY{};
    // Per column, each band's response in dB.
    std::array<std::array<double, Bands>, Columns> OEQCurve{};
    // The bell of the band being computed, stretched by its Q.
    std::array<double, Columns> OEQWork{};
    // Per column, the six bands summed in 32 bits, as drawn.
    std::array<float, Columns> Sum{};

private:
    void setLists(const float* freqs, const float* qs);
    void bell(int b, const OutEQBand& band);
    void shifted(int b, const OutEQBand& band);
};
