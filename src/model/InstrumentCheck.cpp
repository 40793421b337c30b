#include "model/InstrumentCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/RecordText.h"
#include "model/SListCables.h"

namespace tolmira {

namespace {

// A message box shows a screen of text: longer lists end in a count.
constexpr std::size_t kListed = 10;

const char kQ = '"';

std::string quoted(const SCable& rec) { return kQ + recordName(rec) + kQ; }

// "4 "X", 9 "Y"" with at most kListed entries, then "и ещё N".
template <typename Item>
std::string listOf(const std::vector<Item>& items, std::string (*text)(const Item&)) {
  std::string out;
  const std::size_t shown = std::min(items.size(), kListed);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) out += ", ";
    out += text(items[i]);
  }
  if (items.size() > shown) out += " и ещё " + std::to_string(items.size() - shown);
  return out;
}

struct Numbered {
  int position;
  const SListCables* table;
};

std::string numbered(const Numbered& n) {
  return std::to_string(n.position + 1) + " " + quoted(n.table->at(n.position));
}

std::string number(float value, const char* format) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, static_cast<double>(value));
  return buf;
}

// The values of rec on or past the ends of what the instrument accepts, in words.
std::string valuesOnLimits(const SCable& rec) {
  std::string out;
  auto add = [&out](const std::string& what) { out += (out.empty() ? "" : "; ") + what; };
  const float ku = rec.getKU();
  if (ku == 1.0f || ku == 7.0f)
    add("КУ " + number(ku, "%g") + " на границе 1…7");
  else if (ku != 0.0f && !rec.isKUValid())
    add("КУ " + number(ku, "%g") + " вне 1…7, метод TDR не работает");
  if (rec.hasResistance()) {
    const SMaterial& m = rec.material;
    // The bounds are compared in double precision, as the instrument does: the
    // float nearest to an upper bound lies just above it and is refused.
    auto range = [&add](const char* what, float value, double low, double high, double shown,
                        const char* bounds) {
      const std::string text = std::string(what) + " " + number(value * shown, "%g");
      const double v = value;
      if (v == static_cast<double>(static_cast<float>(low)))
        add(text + " на границе " + bounds);
      else if (static_cast<float>(high) == value)
        add(text + " на границе " + bounds + ", прибор его не принимает, метод DC не работает");
      else if (!(v >= low && v <= high))
        add(text + " вне " + bounds + ", метод DC не работает");
    };
    if (m.hasRuOverride())
      range("удельное сопротивление", m.ruOverride, 0.016, 0.035, 1000.0, "16…35");
    if (m.hasTCOverride()) range("ТКС", m.tcOverride, 0.003, 0.006, 1.0, "0.003…0.006");
    // The largest factor the record can hold: a larger one was cut to it.
    if (rec.twistCode == 0xFFFF) add("коэффициент скрутки 1.65535 - наибольший возможный");
  }
  return out;
}

}  // namespace

std::vector<InstrumentFinding> checkForInstrument(const SListCables& table) {
  std::vector<InstrumentFinding> findings;
  const int count = table.getCount();
  const int loaded = std::min(count, kInstrumentMaxRecords);

  if (count > kInstrumentMaxRecords) {
    InstrumentFinding f{InstrumentFinding::Kind::TooManyRecords, true, {}, {}};
    for (int i = kInstrumentMaxRecords; i < count; ++i) f.records.push_back(i);
    f.text = "Таблица содержит " + std::to_string(count) +
             " записей. Прибор ВИРД-50 поддерживает максимум 151 запись. Все записи свыше "
             "будут прибором не загружены. И будут утеряны после изменения таблицы прибором.";
    findings.push_back(std::move(f));
  }

  {
    // Groups of equal names, each named once, at its first record.
    struct Group {
      std::vector<int> positions;
      const SListCables* table;
    };
    std::vector<Group> groups;
    std::vector<bool> grouped(static_cast<std::size_t>(loaded), false);
    for (int i = 0; i < loaded; ++i) {
      if (grouped[static_cast<std::size_t>(i)]) continue;
      Group g{{i}, &table};
      for (int j = i + 1; j < loaded; ++j) {
        if (std::strncmp(table.at(i).name, table.at(j).name, SCable::kNameSize) != 0) continue;
        g.positions.push_back(j);
        grouped[static_cast<std::size_t>(j)] = true;
      }
      if (g.positions.size() > 1) groups.push_back(std::move(g));
    }
    if (!groups.empty()) {
      InstrumentFinding f{InstrumentFinding::Kind::DuplicateNames, false, {}, {}};
      for (const Group& g : groups)
        f.records.insert(f.records.end(), g.positions.begin(), g.positions.end());
      std::sort(f.records.begin(), f.records.end());
      f.text =
          "Одинаковые имена: прибор не различит эти записи: " +
          listOf<Group>(groups,
                        [](const Group& g) {
                          std::string nums;
                          for (const int p : g.positions)
                            nums += (nums.empty() ? "" : ", ") + std::to_string(p + 1);
                          return quoted(g.table->at(g.positions[0])) + " (записи " + nums + ")";
                        }) +
          ".";
      findings.push_back(std::move(f));
    }
  }

  {
    std::vector<Numbered> none;
    for (int i = 0; i < loaded; ++i)
      if (table.at(i).suitableMethods() == 0) none.push_back({i, &table});
    if (!none.empty()) {
      InstrumentFinding f{InstrumentFinding::Kind::NoMethod, false, {}, {}};
      for (const Numbered& n : none) f.records.push_back(n.position);
      f.text = "Записи без метода измерения (ни TDR, ни DC), прибор не сможет по ним мерить: " +
               listOf<Numbered>(none, numbered) + ".";
      findings.push_back(std::move(f));
    }
  }

  {
    struct OnLimit {
      Numbered record;
      std::string values;
    };
    std::vector<OnLimit> onLimit;
    for (int i = 0; i < loaded; ++i) {
      std::string values = valuesOnLimits(table.at(i));
      if (!values.empty()) onLimit.push_back({{i, &table}, std::move(values)});
    }
    if (!onLimit.empty()) {
      InstrumentFinding f{InstrumentFinding::Kind::ValueOnLimit, false, {}, {}};
      for (const OnLimit& o : onLimit) f.records.push_back(o.record.position);
      f.text = "Значения на границе допустимого: " +
               listOf<OnLimit>(
                   onLimit, [](const OnLimit& o) { return numbered(o.record) + ": " + o.values; }) +
               ".";
      findings.push_back(std::move(f));
    }
  }
  return findings;
}

bool anyLosesData(const std::vector<InstrumentFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const InstrumentFinding& f) { return f.losesData; });
}

}  // namespace tolmira
