#include "model/analysis.h"

namespace model {

LoadingKind loading_kind(LoadingType type) {
  if (type == LoadingType::sinusoidal) return LoadingKind::sinusoidal;
  if (type == LoadingType::exponential) return LoadingKind::exponential;
  if (accelerogram(type)) return LoadingKind::accelerogram;
  return LoadingKind::discrete;
}

const Loading* Case::loading_of_type() const {
  const std::optional<Loading>& l = loading(loading_kind(record.loading_type));
  return l ? &*l : nullptr;
}

}  // namespace model
