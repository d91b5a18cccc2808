#pragma once

#include <QComboBox>

// The drive box: it says when it is about to open, so the drives can be read
// again first (a disk may have been mounted or removed since).
class DriveBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void aboutToShowPopup();
};
