#include "QtMessageHost.h"

#include <QMessageBox>
#include <QPushButton>

namespace kavrel::ui {

MsgAnswer QtMessageHost::show(const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
{
    if (beforeShow)
        beforeShow();

    QMessageBox box(m_parent ? m_parent() : nullptr);
    box.setWindowTitle(kMessageTitle);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoDiscard: {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QPushButton *discard = box.addButton(QStringLiteral("破棄"), QMessageBox::DestructiveRole);
        discard->setObjectName(QStringLiteral("MessageDiscard"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    }
    switch (defaultAnswer) {
    case MsgAnswer::Cancel:
        if (buttons == MsgButtons::OkCancel || buttons == MsgButtons::YesNoCancel)
            box.setDefaultButton(QMessageBox::Cancel);
        break;
    case MsgAnswer::No:
        if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel
            || buttons == MsgButtons::YesNoDiscard)
            box.setDefaultButton(QMessageBox::No);
        break;
    default:
        break;
    }
    const int chosen = box.exec();
    if (buttons == MsgButtons::YesNoDiscard && box.clickedButton()
        && box.buttonRole(box.clickedButton()) == QMessageBox::DestructiveRole)
        return MsgAnswer::Cancel;
    switch (chosen) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

} // namespace kavrel::ui
