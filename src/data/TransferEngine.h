#pragma once

#include <QString>
#include <cstdint>

#include "CatalogueRow.h"

struct DataContext;

// One transfer over the catalogue: for every selected row, defaults and source values,
// ECU reads, file writes and ECU writes, in that order, with the save sequence around ECU
// writes. Failures are raised as TransferError; values already moved stay moved.
class TransferEngine {
  public:
    static const QString kSaveStartFailed;
    static const QString kSaveEndFailed;
    static const QString kReconnectFailed;
    static const QString kReadFailed;
    static const QString kWriteFailed;
    static const QString kBadKMapSize;

    static constexpr int kStepWaitMs = 500;
    static constexpr int kSaveStart = 17;
    static constexpr int kSaveEnd = 18;
    static constexpr int kTableSize = 4;
    static constexpr int kPressureFactor = 30;

    // flags: TStreamDati's transfer flags.
    TransferEngine(DataContext& data, int flags, int groupMask, bool showProgress);
    // Steps 2 to 7 of a transfer; the caller opens and closes the source.
    void Run();
    // Only the rows' own phases, without the link's save sequence, waits or progress.
    void MoveRows();
    // The bytes moved so far, as the progress counts them.
    int Moved() const { return moved_; }

  private:
    using Phase = void (TransferEngine::*)(const CatalogueRow&);
    struct Handlers {
        Phase loadDefault = nullptr;
        Phase readSource = nullptr;
        Phase readEcu = nullptr;
        Phase writeSource = nullptr;
        Phase writeEcu = nullptr;
        Phase settle = nullptr;  // after the row's phases
    };
    static const Handlers& handlersOf(Hook hook);

    void moveRow(const CatalogueRow& row);
    void run(Phase special, Phase generic, const CatalogueRow& row);
    void report(int bytes);
    void saveSequence(int command, const QString& failure);

    // Generic phases.
    void loadDefault(const CatalogueRow& row);
    void readSource(const CatalogueRow& row);
    void readEcu(const CatalogueRow& row);
    void writeSource(const CatalogueRow& row);
    void writeEcu(const CatalogueRow& row);

    // Hooks.
    void readBaseTempi(const CatalogueRow& row);
    void settleGasSensor(const CatalogueRow& row);
    void defaultEngineCurve(const CatalogueRow& row);
    void readKMapSizeFromSource(const CatalogueRow& row);
    void askKMapSize(const CatalogueRow& row);
    void defaultLevelSensor(const CatalogueRow& row);
    void defaultHeader(const CatalogueRow& row);
    void readHeaderFromSource(const CatalogueRow& row);
    void readHeaderFromEcu(const CatalogueRow& row);
    void writeHeaderToSource(const CatalogueRow& row);
    void boundMaxCurrentTime(const CatalogueRow& row);
    void defaultPressure(const CatalogueRow& row);
    void readPressureFromSource(const CatalogueRow& row);
    void readPressureFromEcu(const CatalogueRow& row);
    void writePressureToSource(const CatalogueRow& row);
    void writePressureToEcu(const CatalogueRow& row);
    void boundSafeDelay(const CatalogueRow& row);
    void writeInjectorType(const CatalogueRow& row);

    int8_t pressureForm();

    DataContext& data_;
    int flags_;
    int groupMask_;
    bool showProgress_;
    bool headerRead_ = false;
    int moved_ = 0;
    int grandTotal_;
};
