#include "ParameterStore.h"

ParameterStore::ParameterStore() {
    for (const CatalogueRow& row : Catalogue::rows())
        rows_.emplace_back(static_cast<size_t>(row.elements), 0);
    set(Catalogue::kKMapSize, 0, Catalogue::kDefaultKRows);
    set(Catalogue::kKMapSize, 1, Catalogue::kDefaultKColumns);
    set(Catalogue::kBaseTempi, 0, Catalogue::kDefaultBaseTempi);
}
