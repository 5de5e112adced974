// TForm1 settings commands of the Options and Translation menus: each switches its check
// marks, applies its effect and stores its setting character in Dictionary.cfg.
#include "app/tform1.h"

#include "app/errorbox.h"
#include "dictionary/configfile.h"

#include <QAction>

void TForm1::storeSetting(int position, bool on)
{
    if (ProgramFolder.empty())
        return;
    const zarel::Status st = zarel::storeConfig(ProgramFolder, ConfigFlags, position, on);
    if (!st.ok())
        zarel::app::reportError(this, zarel::app::errorText(st));
}

void TForm1::ControlC1Click()
{
    ControlC1->setChecked(!ControlC1->isChecked());
    storeSetting(zarel::ConfigClipboard, ControlC1->isChecked());
}

void TForm1::PopUp1Click()
{
    PopUp1->setChecked(!PopUp1->isChecked());
    storeSetting(zarel::ConfigPopUp, PopUp1->isChecked());
}

void TForm1::N11Click()
{
    if (!N12->isChecked())
        return;
    N11->setChecked(true);
    N12->setChecked(false);
    applyView();
    storeSetting(zarel::ConfigStandardView, true);
}

void TForm1::N12Click()
{
    if (!N11->isChecked())
        return;
    N12->setChecked(true);
    N11->setChecked(false);
    applyView();
    storeSetting(zarel::ConfigStandardView, false);
}

void TForm1::N14Click()
{
    if (!N15->isChecked())
        return;
    N14->setChecked(true);
    N15->setChecked(false);
    applyInterfaceLanguage();
    storeSetting(zarel::ConfigTurkishInterface, true);
}

void TForm1::N15Click()
{
    if (!N14->isChecked())
        return;
    N15->setChecked(true);
    N14->setChecked(false);
    applyInterfaceLanguage();
    storeSetting(zarel::ConfigTurkishInterface, false);
}

void TForm1::KbEg1Click()
{
    if (!KbTr1->isChecked())
        return;
    KbEg1->setChecked(true);
    KbTr1->setChecked(false);
    applyDirection();
    storeSetting(zarel::ConfigEnglishToTurkish, true);
}

void TForm1::KbTr1Click()
{
    if (!KbEg1->isChecked())
        return;
    KbTr1->setChecked(true);
    KbEg1->setChecked(false);
    applyDirection();
    storeSetting(zarel::ConfigEnglishToTurkish, false);
}
