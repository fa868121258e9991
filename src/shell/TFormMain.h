#pragma once

#include <QMainWindow>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

#include "EcuConnection.h"
#include "EntrySelection.h"
#include "MainStatus.h"

class EntryLabel;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class TFormConfig;
class TFormScarica;
class TFormSplash;
class TStatusBarMain;
class TStreamDati;

// The main window: a full-screen list of large entries picked with the mouse or with the
// arrow keys and Enter, a menu bar, and a four-panel status bar with the link state, the
// configuration description, the firmware version and the fuel.
class TFormMain : public QMainWindow {
    Q_OBJECT
  public:
    // The screens of later commands; a command whose opener is not set opens nothing.
    struct Screens {
        std::function<void()> liveView;     // ActionVisualizza
        std::function<void()> calibration;  // ActionTara, only when connected (default: the screen)
        std::function<void()> programming;  // ActionProgramma (default: the window's own)
    };

    // screen: the geometry the layout is computed for (the primary screen by default).
    explicit TFormMain(TStreamDati& data, QRect screen = QRect(), QWidget* parent = nullptr);
    ~TFormMain() override;

    void SetScreens(Screens screens) { screens_ = std::move(screens); }
    // The configuration editor, created once with the window and shown by ActionConf.
    TFormConfig* FormConfig() const { return formConfig_; }
    // The programming window, created once with the window and shown by ActionProgramma.
    TFormScarica* FormScarica() const { return formScarica_; }
    EcuConnection& Connection() { return connection_; }
    QString BaseDirectory() const { return baseDirectory_; }

    // Entry list, in list order.
    const std::vector<EntryLabel*>& Entries() const { return entries_; }
    int SelectedIndex() const { return selection_.Index(); }
    QLabel* LabelMenu() const { return labelMenu_; }
    const MainStatus& Status() const { return status_; }
    TStatusBarMain* StatusBarMain() const { return statusBar_; }
    QMenu* MenuSelLingua() const { return menuSelLingua_; }
    QMenu* FormPopupMenu() const { return formPopupMenu_; }

    // Main-state codes (the data module's mainState and the link's state): 0 link down,
    // 1 link up, 2 description changed, 3 connect, 4 save through the dialog, 5 fuel changed.
    void OnMainState(int code, int wParam = 0);
    // A click on the language item with this tag.
    void ChooseLanguage(int index);
    // Every text of the screen in the current language.
    void ReloadTexts();

    // The commands.
    QAction* ActionConf;
    QAction* ActionVisualizza;
    QAction* ActionTara;
    QAction* ActionSalvaConf;
    QAction* ActionApriConf;
    QAction* ActionProgramma;
    QAction* ActionEsci;
    QAction* ActionConnetti;
    QAction* ActionDisconnetti;
    QAction* ActionSalva;
    QAction* ActionResetDaPc;
    QAction* ActionApri;
    QAction* ActionBloccoNote;
    QAction* ActionProgrammaCliente;
    QAction* ActionResetCentralina;
    QAction* ActionAbout;
    QAction* ActionRapporto;

    // Runs by the actions; public so that other screens and tests reach them.
    void ActionConfExecute();
    void ActionConnettiExecute();
    void ActionDisconnettiExecute();
    void ActionSalvaExecute();
    void ActionSalvaConfExecute();
    void ActionApriConfExecute();
    void ActionResetDaPcExecute();
    void ActionTaraExecute();
    void ActionVisualizzaExecute();
    void ActionAboutExecute();

    static QString NotConnectedWarning();

  signals:
    // The language changed: other screens reload their texts.
    void languageChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void createActions();
    void createMenus();
    void createEntries();
    void layoutEntries();
    void placeCommonLeft();
    void select(int index);
    void runSelected();
    void buildLanguageItems();
    void firstShow();
    void firstIdle();
    void applyLinkState();
    void enableForLink(bool connected);
    MainStatus::Facts facts();
    QAction* action(const QString& name, const QString& text);

    TStreamDati& data_;
    QRect screen_;
    EcuConnection connection_;
    Screens screens_;
    QString baseDirectory_;
    QLabel* labelMenu_ = nullptr;
    std::vector<EntryLabel*> entries_;
    std::vector<QAction*> commands_;
    EntrySelection selection_{0};
    MainStatus status_;
    TStatusBarMain* statusBar_ = nullptr;
    QMenu* menuFile_ = nullptr;
    QMenu* menuConnessione_ = nullptr;
    QMenu* menuImpostazioni_ = nullptr;
    QMenu* menuSelLingua_ = nullptr;
    QMenu* menuAiuto_ = nullptr;
    QMenu* formPopupMenu_ = nullptr;
    QActionGroup* popupGroup_ = nullptr;
    QActionGroup* menuGroup_ = nullptr;
    std::vector<QAction*> popupItems_;
    std::vector<QAction*> menuItems_;
    std::unique_ptr<TFormSplash> splash_;
    TFormConfig* formConfig_ = nullptr;
    TFormScarica* formScarica_ = nullptr;
    bool shown_ = false;
    bool startingCursor_ = false;
};
