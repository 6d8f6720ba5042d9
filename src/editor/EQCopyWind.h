#pragma once

#include "startwin/Widgets.h"

#include <QList>

class ParamData;
class QButtonGroup;
class QLabel;
class QRadioButton;

// Asks to which channel an EQ setting is copied. The caller sets SourceCh
// and CopyMode before each show and reads ReturnCh after it: a position of
// this dialog, or -1 when nothing was chosen or the dialog was cancelled
// (CANCEL, the close box or Esc). Every show starts with no option selected
// and the names of record CurBank, so a copy always needs a fresh choice.
class EQCopyWind : public FaceDialog {
    Q_OBJECT
public:
    // The channel copied from, as a position of this dialog; its option is disabled.
    int SourceCh = 0;
    // 0: input EQ (input captions); anything else: output EQ.
    int CopyMode = 0;
    int ReturnCh = -1;
    int GetReturn() const { return ReturnCh; }

    QList<QRadioButton*> Option1;
    QList<QLabel*> ChannelName;
    QList<QLabel*> MonoName;
    QLabel* Message = nullptr;
    PicButton* OKButton = nullptr;
    PicButton* CancelButton = nullptr;

    void Form_Initialize();
    void Form_Activate() override;
    void OKButton_Click();
    void CancelButton_Click();
    void reject() override;

protected:
    EQCopyWind(const ImageWind& images, const ParamData& data, int positions, QWidget* parent);
    // The fixed caption and the user's name of position i under CopyMode.
    virtual QString channelCaption(int i) const = 0;
    virtual QString channelName(int i) const = 0;

    const ParamData& data_;

private:
    QButtonGroup* options_ = nullptr;
};

// Six destinations: the mono inputs, or the six output blocks.
class EQCopyWind1 : public EQCopyWind {
    Q_OBJECT
public:
    explicit EQCopyWind1(const ImageWind& images, const ParamData& data, QWidget* parent = nullptr);

protected:
    QString channelCaption(int i) const override;
    QString channelName(int i) const override;
};

// Four destinations: the stereo inputs, or the four output channels.
class EQCopyWind2 : public EQCopyWind {
    Q_OBJECT
public:
    explicit EQCopyWind2(const ImageWind& images, const ParamData& data, QWidget* parent = nullptr);

protected:
    QString channelCaption(int i) const override;
    QString channelName(int i) const override;
};
