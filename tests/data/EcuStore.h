#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Catalogue.h"
#include "LoopbackEcu.h"
#include "OfflineStore.h"

// A store on the real link code talking to the virtual ECU, in virtual time.
class EcuStore : public ::testing::Test {
  protected:
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    std::unique_ptr<LoopbackEcu> loop;
    std::unique_ptr<TStreamDati> data;  // after loop: destroyed first, while the link lives
    std::vector<int> progress;

    void start(sim::VirtualEcuOptions options = {}) {
        loop = std::make_unique<LoopbackEcu>(clock, options);
        data = std::make_unique<TStreamDati>(TStreamDati::Options{.loadLinkLibrary = false});
        data->QorConnectEcu().UseLink(&loop->link(), [](IEcuLink*) {});
        QObject::connect(data.get(), &TStreamDati::progress, [this](int value, bool increment) {
            EXPECT_FALSE(increment);
            progress.push_back(value);
        });
        ASSERT_TRUE(loop->connect());
    }

    sim::VirtualEcu& ecu() { return loop->ecu(); }
    ParameterStore& store() { return data->Store(); }

    // The ECU variable a row lives in.
    static int variableOf(const CatalogueRow& row) {
        return row.number == Catalogue::kPressureCoefficients ? 124
                                                              : static_cast<int>(row.id & 0xFF);
    }

    // The ECU's values of a row, in the order of the row's elements in use; pressure
    // coefficients in their 16-bit form.
    std::vector<int32_t> ecuRow(const CatalogueRow& row) {
        std::vector<int32_t> values = ecu().values(variableOf(row));
        const bool byteEcu = ecu().options().pressureCoefficients ==
                             sim::VirtualEcuOptions::PressureCoefficients::Bits8;
        if (row.number == Catalogue::kPressureCoefficients && byteEcu)
            for (int32_t& v : values) v *= 30;
        return values;
    }

    // The store's values of a row; pressure coefficients in their 16-bit form.
    std::vector<int32_t> storeRow(const CatalogueRow& row) {
        const int factor =
            row.number == Catalogue::kPressureCoefficients && store().pressureByteForm() ? 30 : 1;
        std::vector<int32_t> out;
        for (int e : Catalogue::activeElements(row, store().kRows(), store().kColumns()))
            out.push_back(store().value(row.number, e) * factor);
        return out;
    }

    // Every row the ECU holds, compared with the store.
    void expectStoreEqualsEcu() {
        for (const CatalogueRow& row : Catalogue::rows()) {
            if (row.id == 0) continue;  // the K-map size is the ECU's shape, not a variable
            SCOPED_TRACE(row.number);
            EXPECT_EQ(storeRow(row), ecuRow(row));
        }
        EXPECT_EQ(store().kColumns(), ecu().options().kColumns);
        EXPECT_EQ(store().kRows(), ecu().options().kRows);
    }

    std::vector<std::string> traced(const std::string& operation) {
        return loop->traced(operation);
    }
    // Position of the first trace line starting with text, -1 when none.
    int firstInTrace(const std::string& text, int from = 0) {
        const auto& lines = loop->trace();
        for (int i = from; i < static_cast<int>(lines.size()); ++i)
            if (lines[static_cast<size_t>(i)].rfind(text, 0) == 0) return i;
        return -1;
    }
};
