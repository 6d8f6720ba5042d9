#include "startwin/HawlingWind.h"

#include "platform/Animation.h"
#include "platform/Dialogs.h"
#include "startwin/App.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
// The animation's own frame size.
constexpr QSize StageSize{160, 112};
} // namespace

HawlingWind::HawlingWind(App& app, QWidget* parent)
    : FaceDialog(app.images, {18, 16, 18, 14}, 10, parent), app_(app) {
    setObjectName(QStringLiteral("HawlingWind"));
    setWindowTitle(QStringLiteral("Measuring."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    stage_ = new QWidget(face_);
    stage_->setFixedSize(StageSize);
    auto* stageLayout = new QVBoxLayout(stage_);
    stageLayout->setContentsMargins(0, 0, 0, 0);

    Label1[0] = new QLabel(QStringLiteral("Measuring MIC1."), face_);
    Label1[0]->setFont(Scaled(Label1[0]->font(), 1.3, true));
    Label1[1] = new QLabel(QStringLiteral("Wait for a while."), face_);
    CancelButton = new PicButton(app.images, QStringLiteral("CANCEL"), face_);
    CancelButton->setPicture(ImageWind::Pic::SwOff);
    CancelButton->setFixedSize(96, 30);

    auto* texts = new QVBoxLayout;
    texts->addStretch(1);
    texts->addWidget(Label1[0]);
    texts->addWidget(Label1[1]);
    texts->addStretch(1);
    auto* cancelRow = new QHBoxLayout;
    cancelRow->addStretch(1);
    cancelRow->addWidget(CancelButton);
    texts->addLayout(cancelRow);
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(stage_);
    row->addLayout(texts, 1);
    column()->addLayout(row);
    setFixedSize(440, StageSize.height() + 30);

    Timer1.setInterval(600);
    connect(&Timer1, &QTimer::timeout, this, &HawlingWind::Timer1_Timer);
    connect(CancelButton, &QAbstractButton::clicked, this, &HawlingWind::CancelButton_Click);
}

HawlingWind::~HawlingWind() = default;

void HawlingWind::Measure(const std::array<bool, 6>& inputs, const std::function<QString(int)>& label) {
    for (int c = 0; c < 6; ++c) {
        if (!inputs[static_cast<std::size_t>(c)])
            continue;
        const int n = c + 1;
        app_.send->SendHawlingMeasure(1, n);
        Label1[0]->setText(label(n));
        Timer1.start(600);
        exec();
        // Ended in every case, so that the unit stops driving the speakers.
        app_.send->SendHawlingMeasure(2, n);
        if (Status == 0)
            return;
        if (Response == 3) {
            MeasureFaultMsg();
            return;
        }
    }
}

void HawlingWind::Form_Activate() {
    Response = 1;
    Status = -1;
    SetPicture(startWindowVisible && startWindowVisible());
    if (!Animation1) {
        Animation1 = MakeAnimation(stage_);
        stage_->layout()->addWidget(Animation1->view());
    }
    const QString path = app_.AppPath + QStringLiteral("/pat/how.avi");
    if (QFileInfo::exists(path))
        Animation1->Open(path);
    else
        ShowMessage(this, {QStringLiteral("(") + path + QStringLiteral(") open error."), QStringLiteral("File error"),
                           MsgButtons::Ok, MsgIcon::Critical, MsgResult::Ok});
}

void HawlingWind::Timer1_Timer() {
    // Stopped while the query waits for its reply, which lets events run.
    Timer1.stop();
    Response = app_.lib->GetHawlingStatus();
    // Only an answer ends the wait: a unit that does not answer leaves the
    // window to the user's Cancel.
    if (Response == 1) {
        Timer1.start(600);
        return;
    }
    AnimationClose();
    hide();
}

void HawlingWind::CancelButton_Click() {
    Response = 2;
    Status = 0;
    Timer1.stop();
    AnimationClose();
    hide();
}

void HawlingWind::AnimationClose() {
    if (Animation1)
        Animation1->Close();
}

void HawlingWind::MeasureFaultMsg() {
    ShowMessage(this, {QStringList{QStringLiteral("Please confirm the Gain and Level setting of"),
                                   QStringLiteral("Input and Output of QDR318 and proper level setting"),
                                   QStringLiteral(" of power amplifier."),
                                   QStringLiteral("And check microphone and speaker placement."),
                                   QStringLiteral("Then measure again.")}
                           .join(QStringLiteral("\r\n")),
                       QStringLiteral("Measurement fault"), MsgButtons::Ok, MsgIcon::Exclamation, MsgResult::Ok});
}
