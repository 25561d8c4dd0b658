// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where Ondelog listens for WSJT-X and JTDX: the settings as a group of
// controls (for any settings window) and as a small dialog of its own.

#include "station/stationsettings.h"

#include <QDialog>
#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace ondelog {

class WsjtxSettingsWidget : public QGroupBox
{
    Q_OBJECT

  public:
    explicit WsjtxSettingsWidget(QWidget *parent = nullptr);

    void setSettings(const WsjtxSettings &settings);
    WsjtxSettings settings() const;
    /** Why the settings cannot be used, in French; "" when they can. */
    QString problem() const;

  private:
    void addressChanged();

    QLineEdit *m_address = nullptr;
    QSpinBox *m_port = nullptr;
    QCheckBox *m_loopback = nullptr;
};

class WsjtxDialog : public QDialog
{
    Q_OBJECT

  public:
    explicit WsjtxDialog(const WsjtxSettings &current, QWidget *parent = nullptr);
    WsjtxSettings settings() const { return m_settings->settings(); }
    /** Keeps the settings only when they can be used. */
    void accept() override;

  private:
    WsjtxSettingsWidget *m_settings = nullptr;
    QLabel *m_error = nullptr;
};

} // namespace ondelog
