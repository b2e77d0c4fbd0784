#include "common/LocalDate.h"

#include <boost/date_time/gregorian/gregorian.hpp>

std::string LocalIsoDate() {
  try {
    return boost::gregorian::to_iso_extended_string(boost::gregorian::day_clock::local_day());
  } catch (const std::exception&) {
    return {};
  }
}
