// The input EQ: the EQ keys of the input strips and of the BLOCK page, and
// the dialog they open.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/InEQWind.h"
#include "editor/PanelParts.h"
#include "editor/PopupPlace.h"
#include "platform/OnScreen.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

QPushButton* MainWind::buildInEQButton(int ch, QWidget* parent) {
    auto* b = InEQButton[ch] = new QPushButton(QStringLiteral("EQ"), parent);
    b->setFixedSize(40, panel::NameHeight);
    b->setToolTip(QStringLiteral("Adjust the Input EQ."));
    return b;
}

void MainWind::connectInputEQ() {
    for (int ch = 0; ch < 10; ++ch) {
        connect(InEQ[ch], &PicButton::clicked, this, [this, ch] { InEQ_Click(ch); });
        connect(InEQButton[ch], &QPushButton::clicked, this, [this, ch] { InEQButton_Click(ch); });
    }
}

InEQWind& MainWind::inEQWind() {
    if (!inEQWind_) {
        inEQWind_ = new InEQWind(app_, *this, this);
        SetNameFont(inEQWind_->LineName, top_.NameFont);
    }
    return *inEQWind_;
}

// The mono inputs' dialog opens right of the strip, the stereo inputs'
// (which lack the middle band) left of it.
void MainWind::InEQ_Click(int Index) {
    InEQWind& w = inEQWindFor(Index);
    const popup::OpenerHighlight mark(Frame1[Index]);
    popup::PlaceBeside(&w, Frame1[Index]);
    if (Index >= 6)
        MoveFrameTo(&w, Frame1[Index]->mapToGlobal(QPoint(-popup::Gap - w.width(), 0)));
    InputEQProc(Index);
}

// Beside the column of EQ keys, whichever was clicked.
void MainWind::InEQButton_Click(int Index) {
    InEQWind& w = inEQWindFor(Index);
    const popup::OpenerHighlight mark(InEQButton[Index]);
    popup::PlaceBeside(&w, InEQButton[0]);
    InputEQProc(Index);
}

InEQWind& MainWind::inEQWindFor(int ch) {
    InEQWind& w = inEQWind();
    w.LineCH->setText(QLatin1String(ChName[ch]));
    w.LineCH->show();
    w.Center->setVisible(ch < 6);
    return w;
}

void MainWind::InputEQProc(int ch) {
    InEQWind& w = inEQWind();
    app_.DispBusy = 1;
    w.Fill(ch);
    app_.DispBusy = 0;
    w.exec();
}
