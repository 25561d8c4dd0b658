// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Transceiver" dialog: which radio Hamlib reads, among its models, on
// which serial port and at which speed, or at which rigctld address. "Aucun"
// opens nothing. "Essayer" reads the radio as chosen, off the window's
// thread, before anything is kept.

#include "radio/hamlibradio.h"
#include "station/stationsettings.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ondelog {

class RadioWatcher;

class TransceiverDialog : public QDialog
{
    Q_OBJECT

  public:
    /** Opens on `current`; `models` is Hamlib's list (radioModels()). */
    TransceiverDialog(const TransceiverSettings &current, std::vector<RadioModel> models,
                      QWidget *parent = nullptr);
    explicit TransceiverDialog(const TransceiverSettings &current, QWidget *parent = nullptr);
    ~TransceiverDialog() override;

    /** The radio as chosen in the dialog. */
    TransceiverSettings settings() const;

    /** Keeps the choice only when it can be used (a port, a host:port). */
    void accept() override;

    /** The serial ports of this machine, stable names first. */
    static QStringList serialPorts();

  private:
    void buildWindow(const TransceiverSettings &current);
    void fillModels(const QString &filter);
    const RadioModel *chosenModel() const;
    void modelChanged();
    void tryRadio();
    QString problem() const;

    std::vector<RadioModel> m_models;
    int m_chosenModel = kNoRadioModel;
    QLineEdit *m_search = nullptr;
    QComboBox *m_model = nullptr;
    QComboBox *m_port = nullptr;
    QComboBox *m_speed = nullptr;
    QLineEdit *m_address = nullptr;
    QPushButton *m_try = nullptr;
    QLabel *m_tryResult = nullptr;
    QLabel *m_error = nullptr;
    RadioWatcher *m_watcher = nullptr;
};

} // namespace ondelog
