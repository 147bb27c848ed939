#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace tallyra {

// Every text the program shows, as a pair (Russian, English) in UTF-8. Blanks and "&" are part
// of the texts. The identifiers follow the order in which the pairs are declared below.
enum class TextId : int {
  // Main window
  TxtColDraw,
  TxtColBalls,
  TxtColFallen,
  TxtColNotFallen,
  TxtColPassed,
  TxtMenuStakes,
  TxtMenuLoad,
  TxtMenuSave,
  TxtMenuCollate,
  TxtMenuDeleteAll,
  TxtMenuSystemGame,
  TxtMenuResults,
  TxtMenuFromInternet,
  TxtMenuCollateWith,
  TxtMenuWithStakes,
  TxtMenuWithSystem,
  TxtMenuWithAll,
  TxtMenuCheck,
  TxtMenuEnterResult,
  TxtMenuCheckStakes,
  TxtMenuOptions,
  TxtMenuRussian,
  TxtMenuPreferences,
  TxtMenuHelp,
  TxtMenuAbout,
  TxtMenuExit,
  TxtMainCaption,
  TxtOpenTitle,
  TxtTabStakes,
  TxtDelete,
  TxtAdd,
  TxtCollate,
  TxtTabSystem,
  TxtTabResults,
  TxtCollateAll,
  TxtCollateStakes,
  TxtCollateSystem,
  TxtTabCheck,
  TxtClean,
  TxtEnterCombination,
  TxtAddToStakes,
  TxtCheck,
  TxtIncludeSystem,
  TxtCheckResults,
  TxtClickForList,
  TxtCurrentCombination,
  TxtWithStakes,
  TxtWithResults,
  TxtCollateWithBox,
  TxtTabStatistics,
  TxtSorting,
  TxtSortInOrder,
  TxtSortByFrequency,
  TxtSortByDraws,
  TxtEdit,
  TxtLineUp,
  TxtSaveTitle,
  TxtPanelStakes,
  TxtPanelSystem,
  TxtPanelDraws,
  TxtResultsLoadFailed,
  TxtCoincidence3,
  TxtCoincidence4,
  TxtCoincidence5,
  TxtCoincidence6,
  TxtAskDeleteStake,
  TxtCapDeleteStake,
  TxtCapEditStake,
  TxtEnterButton,
  TxtCapEnterStake,
  TxtAskDeleteAllStakes,
  TxtCapDeleteStakes,
  TxtListSystemSep,
  TxtListSystem,
  TxtListStakes,
  TxtAskSaveStakes,
  TxtCapExit,
  TxtAskSaveSystem,
  TxtAskDeleteAllSystem,
  TxtAskLoadResults,
  TxtCapLoadResults,
  TxtConnectFailed,
  TxtSettingsMissing,
  TxtSettingsBad,
  TxtBannerHint,
  // Entry dialog
  TxtEntryCaption,
  TxtEntryClean,
  TxtEntryEnter,
  TxtEntrySystem,
  TxtNotAllFilled,
  TxtBadValues,
  TxtValuesCoincide,
  TxtNoSymbols,
  TxtBadSystemValues,
  // About box
  TxtAboutCaption,
  TxtAboutIdea,
  TxtAboutCompany,
  TxtAboutDescription,
  TxtAboutVersion,
  TxtAboutVisitSite,
  TxtAboutWriteLetter,
  TxtAboutRights,
  // Options dialog
  TxtOptionsCaption,
  TxtOptionsChange,
  TxtOptionsPlay,
  TxtOptionsOutOf,
  TxtOptionsSave,
  TxtOptionsBadValue,
  // File handling
  TxtNotInteger,
  TxtRecordTooLong,
  TxtListOverflow,
  TxtDrawsDropped,
  TxtCannotOpen,
  TxtCannotWrite,
  TxtAppTitle,
  TxtSystemNeedsSeven,
  TxtStakesFull,
  TxtSystemFull,
  TxtCollating,
  TxtSavingList,
  TxtSaveList,
  TxtCopyList,
  TxtListTooBig,
  TxtDownloadStatus,
  TxtDownloadReceived,
  // Wheels
  TxtWheelPoolSize,
  TxtWheelPoolRange,
  TxtWheelPoolRepeat,
  TxtWheelPoolNotNumber,
  TxtWheelGuaranteeForm,
  TxtWheelGuaranteeRange,
  TxtWheelTooLarge,
  TxtWheelOutsidePool,
  Count
};

struct TextPair {
  const char* ru;
  const char* en;
};

// Language 0 picks the Russian text, any other value the English one.
const char* Text(TextId id, int32_t language);
const TextPair& Pair(TextId id);

// Substitutes the arguments for the printf-style directives of a text (%s and %d only).
std::string Format(TextId id, int32_t language, std::initializer_list<std::string> args);

}  // namespace tallyra
