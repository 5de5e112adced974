// TForm1 settings commands of the Options and Translation menus: each changes its field of the
// settings, which the menus then show, applies its effect and stores Dictionary.cfg. The three
// radio pairs are exclusive action groups.
#include "app/tform1.h"

#include "app/errorbox.h"

#include <QAction>
#include <QActionGroup>

void TForm1::wireSettings()
{
    connect(ControlC1, &QAction::triggered, this, &TForm1::ControlC1Click);
    connect(PopUp1, &QAction::triggered, this, &TForm1::PopUp1Click);
    const auto radioPair = [this](QAction *first, void (TForm1::*firstCommand)(), QAction *second,
                                  void (TForm1::*secondCommand)()) {
        auto *group = new QActionGroup(this);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        group->addAction(first);
        group->addAction(second);
        connect(group, &QActionGroup::triggered, this, [=, this](QAction *item) {
            (this->*(item == first ? firstCommand : secondCommand))();
        });
    };
    radioPair(N11, &TForm1::N11Click, N12, &TForm1::N12Click);
    radioPair(N14, &TForm1::N14Click, N15, &TForm1::N15Click);
    radioPair(KbEg1, &TForm1::KbEg1Click, KbTr1, &TForm1::KbTr1Click);
}

void TForm1::showSettings()
{
    ControlC1->setChecked(Config.clipboardTranslation);
    PopUp1->setChecked(Config.popUp);
    // Checking one item of a pair unchecks the other.
    (Config.standardView ? N11 : N12)->setChecked(true);
    (Config.turkishInterface ? N14 : N15)->setChecked(true);
    (Config.englishToTurkish ? KbEg1 : KbTr1)->setChecked(true);
}

void TForm1::storeSetting(int position)
{
    if (ProgramFolder.empty())
        return;
    const zarel::Status st = zarel::storeSettings(ProgramFolder, Config, position);
    if (!st.ok())
        zarel::app::reportError(this, zarel::app::errorText(st));
}

void TForm1::switchSetting(int position, bool on, void (TForm1::*apply)())
{
    if (Config.flag(position) == on) {
        // Already in force: nothing is applied or written; the marks stay as the field says.
        showSettings();
        return;
    }
    Config.setFlag(position, on);
    showSettings();
    (this->*apply)();
    storeSetting(position);
}

void TForm1::ControlC1Click()
{
    Config.clipboardTranslation = !Config.clipboardTranslation;
    showSettings();
    storeSetting(zarel::ConfigClipboard);
}

void TForm1::PopUp1Click()
{
    Config.popUp = !Config.popUp;
    showSettings();
    storeSetting(zarel::ConfigPopUp);
}

void TForm1::N11Click()
{
    switchSetting(zarel::ConfigStandardView, true, &TForm1::applyView);
}

void TForm1::N12Click()
{
    switchSetting(zarel::ConfigStandardView, false, &TForm1::applyView);
}

void TForm1::N14Click()
{
    switchSetting(zarel::ConfigTurkishInterface, true, &TForm1::applyInterfaceLanguage);
}

void TForm1::N15Click()
{
    switchSetting(zarel::ConfigTurkishInterface, false, &TForm1::applyInterfaceLanguage);
}

void TForm1::KbEg1Click()
{
    switchSetting(zarel::ConfigEnglishToTurkish, true, &TForm1::applyDirection);
}

void TForm1::KbTr1Click()
{
    switchSetting(zarel::ConfigEnglishToTurkish, false, &TForm1::applyDirection);
}
