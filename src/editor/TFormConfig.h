#pragma once

#include <QDialog>
#include <QRect>
#include <array>
#include <functional>
#include <memory>

#include "EditorHost.h"

class ConfigPageControl;
class ConfigTab;
class LiveDataReader;
class LiveStatusBar;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;
class TStreamDati;
class TabAutoTar;
class TabCambio;
class TabLambda;
class TabSensore;

// The vehicle configuration editor: four tabs on the left edge, chosen with F1-F12 and Page
// Up/Down, a live status bar refreshed every 170 ms, Esc to leave. Every committed field goes
// straight to the store and the ECU and shows what the store kept; nothing is written at
// close. Created once and shown modally at every opening.
class TFormConfig : public QDialog, public EditorHost {
    Q_OBJECT
  public:
    static constexpr int kRefreshMs = 170;
    static constexpr int kDesignTabThickness = 130;

    // screen: the geometry the editor fills (the primary screen by default).
    explicit TFormConfig(TStreamDati& data, QRect screen = QRect(), QWidget* parent = nullptr);
    ~TFormConfig() override;

    // The main screen's reset of the ECU, run by the reset button.
    void SetResetCommand(std::function<void()> command);
    // Every text of the editor in the current language.
    void LoadCaptions();
    // Shows the editor modally and returns; the editor runs until it is closed.
    void Open();

    // One refresh of the status bar and the tabs' follow-ups.
    void Timer1Timer();

    // EditorHost
    QString Caption() const override { return windowTitle(); }
    ScreenScale Scale() const override { return ScreenScale(screen_.width()); }
    void HoldRefresh() override;
    void ResumeRefresh() override;
    void ShowLimit(TNumericEdit* field) override;
    void HideLimit() override;

    ConfigPageControl* PageControl;
    TabCambio* tabCambio;
    TabLambda* tabLambda;
    TabSensore* tabSensore;
    TabAutoTar* tabAutoTar;
    LiveStatusBar* PanelBarra;
    QLabel* LabelLimite;
    QTimer* Timer1;
    QMenuBar* MainMenu;
    QMenu* MenuConfigurazione;
    QAction* ActionEsci;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void CreateMenu();
    void CreatePages();
    void FormShow();
    void SyncOptions();
    void SizeTabs();
    void PageChanged(int index);
    // The active tab's first field takes the focus, its value selected.
    void FocusFirstField();
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ShowLinkLost();
    ConfigTab* ActiveTab() const;

    TStreamDati& data_;
    QRect screen_;
    int lastWidth_ = ScreenScale::kDesignWidth;
    std::unique_ptr<LiveDataReader> reader_;
    // The editor's copies of options 12, 8, 9 and 10, all off at creation.
    std::array<bool, 4> options_{};
    bool watchingKeys_ = false;
};
