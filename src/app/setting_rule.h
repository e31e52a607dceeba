// Which of the two profile files decides a setting.
#pragma once

namespace orvane::app {

// "Orvane.ini" decides when it holds a value other than the default; otherwise WIN.INI does,
// so a value there that equals the default cannot hide a different one in WIN.INI.
template <class ReadWinIni>
unsigned ChooseSetting(unsigned iniValue, int defaultValue, ReadWinIni readWinIni) {
  if (iniValue != static_cast<unsigned>(defaultValue)) return iniValue;
  return readWinIni();
}

}  // namespace orvane::app
