#pragma once

#include "app/frmoptions.h"
#include "support/framefixture.h"

#include <QPushButton>
#include <QTest>
#include <functional>

// What the options tests share: finding a control by name and opening the
// dialog through its menu entry.
namespace OptionsTest {

inline QString stored(SettingsStore& store, const char* key)
{
    return store.read(Settings::General, QString::fromLatin1(key), QStringLiteral("<none>"));
}

template <typename T> T* control(frmOptions& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// Opens the options the way the user does and runs `whileShown` while the dialog
// waits; a dialog still shown afterwards (a failed check) is cancelled.
inline bool openOptions(FrameParts& frame, const std::function<void(frmOptions&)>& whileShown)
{
    bool ran = false;
    QTimer::singleShot(0, frame.area(), [&] {
        auto* dialog = frame.area()->window()->findChild<frmOptions*>();
        if (!dialog || !dialog->isVisible())
            return;
        ran = true;
        whileShown(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    frame.action(QStringLiteral("mnuPrefItem"))->trigger();
    return ran;
}

inline void clickOk(frmOptions& dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, "Command1_0"), Qt::LeftButton);
}

} // namespace OptionsTest
