#include "model/TextTable.h"

#include <array>

namespace tallyra {
namespace {

constexpr std::array<TextPair, static_cast<int>(TextId::Count)> kPairs = {{
    // Main window
    {" Тираж", "  Draw"},                                                     // TxtColDraw
    {"   Шары", "   Balls"},                                                  // TxtColBalls
    {"     Выпадали", "     Fallen out"},                                     // TxtColFallen
    {"   Не выпадали", "    Not fallen out"},                                 // TxtColNotFallen
    {"  Прошло тиражей", "    Passed draws"},                                 // TxtColPassed
    {"&Ставки", "&Stakes"},                                                   // TxtMenuStakes
    {"&Загрузить", "&Load"},                                                  // TxtMenuLoad
    {"&Сохранить", "&Save"},                                                  // TxtMenuSave
    {"С&верить", "Co&llate"},                                                 // TxtMenuCollate
    {"&Удалить всё", "&Delete all"},                                          // TxtMenuDeleteAll
    {"Системная &игра", "System &game"},                                      // TxtMenuSystemGame
    {"&Результаты", "&Results"},                                              // TxtMenuResults
    {"С &Интернета", "&From Internet"},                                       // TxtMenuFromInternet
    {"&Сверить", "&Collate with..."},                                         // TxtMenuCollateWith
    {"Со &ставками", "&stakes"},                                              // TxtMenuWithStakes
    {"С с&истемными ставками", "s&ystem stakes"},                             // TxtMenuWithSystem
    {"Сверить &всё", "&All"},                                                 // TxtMenuWithAll
    {"&Проверка", "&Check"},                                                  // TxtMenuCheck
    {"Ввести &результат", "Enter &result"},                                   // TxtMenuEnterResult
    {"Проверить &ставки", "Check the &stakes"},                               // TxtMenuCheckStakes
    {"Н&астройка", "O&ptions"},                                               // TxtMenuOptions
    {"Р&усский", "&Russian"},                                                 // TxtMenuRussian
    {"&Настройка", "&Preferences"},                                           // TxtMenuPreferences
    {"Помо&щь", "&Help"},                                                     // TxtMenuHelp
    {"&О программе", "&About program"},                                       // TxtMenuAbout
    {"В&ыход", "E&xit"},                                                      // TxtMenuExit
    {"Работа с результатами лотерей", "Work with the results of lotteries"},  // TxtMainCaption
    {"Загрузка ставок из файла", "Stakes loading out of file"},               // TxtOpenTitle
    {"Ставки ", "Stakes "},                                                   // TxtTabStakes
    {"Удалить", "Delete"},                                                    // TxtDelete
    {"Добавить", "Add"},                                                      // TxtAdd
    {"Сверить", "Collate"},                                                   // TxtCollate
    {"Системная игра", "System game"},                                        // TxtTabSystem
    {"Результаты", "Results"},                                                // TxtTabResults
    {"Сверить всё", "Collate all"},                                           // TxtCollateAll
    {"Сверить со ставками", "Collate with stakes"},                           // TxtCollateStakes
    {"Сверить с системой", "Collate with system stakes"},                     // TxtCollateSystem
    {"Проверка", "Check"},                                                    // TxtTabCheck
    {"Очистить", "Clean"},                                                    // TxtClean
    {"Ввести комбинацию", "Enter the combination"},                           // TxtEnterCombination
    {"Добавить в ставки", "Add into stakes"},                                 // TxtAddToStakes
    {"Проверить", "Check"},                                                   // TxtCheck
    {"Включая системные", "Include system stakes"},                           // TxtIncludeSystem
    {" Результаты проверки ", " Results of checking "},                       // TxtCheckResults
    {"Нажмите для вывода полного списка", "Click for complete list"},         // TxtClickForList
    {"Текущая комбинация -", "Current combination -"},    // TxtCurrentCombination
    {"Ставками", "Stakes"},                               // TxtWithStakes
    {"Результатами", "Results"},                          // TxtWithResults
    {" Сверять с... ", " Collate with "},                 // TxtCollateWithBox
    {"Статистика", "Statistics"},                         // TxtTabStatistics
    {" Сортировка ", " Sorting "},                        // TxtSorting
    {"По порядку", "In order"},                           // TxtSortInOrder
    {"По частоте", "By frequency"},                       // TxtSortByFrequency
    {"По тиражам", "By draws"},                           // TxtSortByDraws
    {"Редактировать", "Edit"},                            // TxtEdit
    {"Выстроить", "Line up"},                             // TxtLineUp
    {"Сохранение ставок в файл", "Save stakes in file"},  // TxtSaveTitle
    {"Сделано ставок -", "Made stakes -"},                // TxtPanelStakes
    {"Ставок в сист. игре -", "System stakes -"},         // TxtPanelSystem
    {"Загружено тиражей -", "Loaded draws -"},            // TxtPanelDraws
    {"Не удалось загрузить результаты тиражей!",
     "Results load is failed!"},                                  // TxtResultsLoadFailed
    {"Совпадение троек...", "Coincidence of three..."},           // TxtCoincidence3
    {"Совпадение четвёрок...", "Coincidence of four..."},         // TxtCoincidence4
    {"Совпадение пятёрок...", "Coincidence of five..."},          // TxtCoincidence5
    {"Совпадение шестёрок...", "Coincidence of six..."},          // TxtCoincidence6
    {"Удалить выбранную ставку?", "Delete the choosing stake?"},  // TxtAskDeleteStake
    {"Удаление текущей ставки", "Deletion of current stake"},     // TxtCapDeleteStake
    {"Редактирование ставки", "Edit the stakes"},                 // TxtCapEditStake
    {"Ввести", "Add"},                                            // TxtEnterButton
    {"Ввод ставки", "Stakes insertion"},                          // TxtCapEnterStake
    {"Удалить все ставки?", "Delete all stakes?"},                // TxtAskDeleteAllStakes
    {"Удаление ставок", "Stakes deletion"},                       // TxtCapDeleteStakes
    {"; Системные ставки: ", "; System stakes: "},                // TxtListSystemSep
    {"Системные ставки: ", "System stakes: "},                    // TxtListSystem
    {"Ставки: ", "Stakes: "},                                     // TxtListStakes
    {"Сохранить ставки перед выходом из программы?",
     "Save stakes before exit?"},    // TxtAskSaveStakes
    {"Выход из программы", "Exit"},  // TxtCapExit
    {"Сохранить системные ставки перед выходом из программы?",
     "Save system stakes before exit?"},                             // TxtAskSaveSystem
    {"Удалить все системные ставки?", "Delete all system stakes?"},  // TxtAskDeleteAllSystem
    {"Загрузить новые результаты?", "Load new results?"},            // TxtAskLoadResults
    {"Загрузка результатов тиражей", "Loading the draw results"},    // TxtCapLoadResults
    {"Не удалось соединиться с сервером!",
     "Connection with server is impossible!"},                      // TxtConnectFailed
    {"Отсутствует файл настроек", "Options file is absent"},        // TxtSettingsMissing
    {"Ошибка загрузки настроек", "Error of options file loading"},  // TxtSettingsBad
    {"Научись выигрывать в азартные игры! Бесплатные программы для Блэк Джек "
     "(Black Jack),лотерей,рулетки. Обыграй казино!!!",
     "What is GAMBLING? Do You like to play Black Jack, Roulette or Lotteries? "
     "Wellcome!"},                                                       // TxtBannerHint
                                                                         // Entry dialog
    {"Ввод ставки", "Enter stake"},                                      // TxtEntryCaption
    {"Очистить", "Clean"},                                               // TxtEntryClean
    {"Ввести", "Enter"},                                                 // TxtEntryEnter
    {"Системная игра", "System stake"},                                  // TxtEntrySystem
    {"Не все поля заполнены!", "Not all  margins are filled!"},          // TxtNotAllFilled
    {"Введены некорректные значения", "Inserted values are incorrect"},  // TxtBadValues
    {"Введённые значения не могут совпадать",
     "Inserted values cannot coincide"},                                     // TxtValuesCoincide
    {"Ввод символов не допускается", "Insertion of symbols is impossible"},  // TxtNoSymbols
    {"Введены некорректные значения для системной ставки!",
     "Inserted values for system stakes are incorrect!"},                    // TxtBadSystemValues
                                                                             // About box
    {"О программе Tallyra", "About program Tallyra"},                        // TxtAboutCaption
    {"Идея, авторство, программирование", "Idea, authorship, programming"},  // TxtAboutIdea
    {"Компания Orvane", "Orvane group"},                                     // TxtAboutCompany
    {"Многофункциональная программа для работы с результатами числовых лотерей "
     "Tallyra",
     "Multifunctional program for work with results of numerical lotteries "
     "Tallyra"},                                             // TxtAboutDescription
    {"Версия:", "Version:"},                                 // TxtAboutVersion
    {"Посетить сайт программы", "Visit site of program"},    // TxtAboutVisitSite
    {"Написать письмо авторам", "Write letter to authors"},  // TxtAboutWriteLetter
    {"© Компания Orvane. Все права защищены.",
     "© Orvane group. All rights reserved."},                        // TxtAboutRights
                                                                     // Options dialog
    {"Настройки программы", "Options"},                              // TxtOptionsCaption
    {"Изменить", "Change"},                                          // TxtOptionsChange
    {"Играем:", "Play:"},                                            // TxtOptionsPlay
    {"из", "out of"},                                                // TxtOptionsOutOf
    {"Сохранить", "Save"},                                           // TxtOptionsSave
    {"Введено неверное значение.", "Inserted value is incorrect."},  // TxtOptionsBadValue
                                                                     // File handling
    {"'%s' is not a valid integer value", "'%s' is not a valid integer value"},  // TxtNotInteger
    {"Строка %d: запись содержит больше %d чисел. Файл не загружен.",
     "Line %d: the record holds more than %d numbers. The file was not loaded."},  // TxtRecordTooLong
    {"Файл содержит %d записей, а в списке свободно только %d мест. Файл не "
     "загружен.",
     "The file holds %d records, but the list has room for only %d more. The file "
     "was not loaded."},  // TxtListOverflow
    {"Файл содержит %d тиражей; загружены последние %d, более ранние (%d) "
     "пропущены.",
     "The file holds %d draws; the latest %d were loaded and the %d earlier ones "
     "were left out."},                                                       // TxtDrawsDropped
    {"Не удалось открыть файл \"%s\". %s", "Cannot open file \"%s\". %s"},    // TxtCannotOpen
    {"Не удалось записать файл \"%s\". %s", "Cannot write file \"%s\". %s"},  // TxtCannotWrite
    {"Tallyra", "Tallyra"},                                                   // TxtAppTitle
    {"Системная ставка должна содержать не менее семи чисел",
     "A system stake needs at least seven numbers"},  // TxtSystemNeedsSeven
    {"Список ставок заполнен: в нём уже 99999 ставок. Ставка не добавлена.",
     "The list of stakes is full: it holds 99999 stakes already. The stake was not "
     "added."},  // TxtStakesFull
    {"Список системных ставок заполнен: в нём уже 99999 ставок. Ставка не добавлена.",
     "The list of system stakes is full: it holds 99999 stakes already. The stake was not "
     "added."},                                       // TxtSystemFull
    {"Идёт сверка...", "Collating..."},               // TxtCollating
    {"Список сохраняется...", "Saving the list..."},  // TxtSavingList
    {"Сохранить список...", "Save list..."},          // TxtSaveList
    {"Копировать", "Copy"},                           // TxtCopyList
    {"Выделено слишком много текста для буфера обмена (%s знаков). Сохраните список в файл.",
     "The selection is too large for the clipboard (%s characters). Save the list to a file "
     "instead."},  // TxtListTooBig
    {"Сервер не отдал файл результатов (код %d).",
     "The server did not return the results file (status %d)."},  // TxtDownloadStatus
    {"Загрузка результатов тиражей: получено %s байт",
     "Downloading the draw results: %s bytes received"},  // TxtDownloadReceived
    // Import of files from the wild
    {"меньше %d чисел", "fewer than %d numbers"},                            // TxtImportTooFew
    {"больше %d чисел", "more than %d numbers"},                             // TxtImportTooMany
    {"число %s вне пределов 1..%d", "the number %s is outside 1..%d"},       // TxtImportOutOfRange
    {"число %s повторяется", "the number %s appears twice"},                 // TxtImportRepeat
    {"не удалось прочитать дату \"%s\"", "the date \"%s\" cannot be read"},  // TxtImportBadDate
    {"Строка %d: %s", "Line %d: %s"},                                        // TxtImportLine
    {"Файл пуст.", "The file is empty."},                                    // TxtImportEmpty
    {"Это не текстовый файл.", "This is not a text file."},                  // TxtImportBinary
    {"Файл слишком велик для импорта (%s байт, допустимо не более %s).",
     "The file is too large to import (%s bytes; at most %s)."},  // TxtImportTooLarge
    {"В файле нет ни одной строки из %d чисел, которую можно прочитать. Ничего не записано.",
     "The file holds no line of %d numbers that could be read. Nothing was "
     "written."},  // TxtImportNothing
    {"Файл содержит %d записей, а в списке есть место только для %d. Ничего не записано.",
     "The file holds %d records, but the list has room for only %d. Nothing was "
     "written."},  // TxtImportTooManyRows
    {"Нужно указать от %d до %d разных номеров столбцов, начиная с 1.",
     "Give %d to %d different column numbers, counting from 1."},  // TxtImportBadColumns
    {"Файл содержит %d тиражей; сохраняются последние %d, более ранние (%d) пропущены.",
     "The file holds %d draws; the latest %d are kept and the %d earlier ones are left "
     "out."},  // TxtImportDropped
    {"Добавлено новых тиражей: %d; всего тиражей: %d.",
     "%d new draws were added; %d held."},  // TxtMergeAdded
    {"Самые ранние тиражи (%d) не поместились и пропущены.",
     "The %d earliest draws did not fit and were left out."},  // TxtMergeDropped
    {"Новые тиражи не продолжают загруженные результаты. Заменить результаты ими?",
     "The new draws do not continue the draws held. Replace the held draws with "
     "them?"},  // TxtMergeNoOverlap
}};

}  // namespace

const TextPair& Pair(TextId id) {
  return kPairs.at(static_cast<std::size_t>(id));
}

const char* Text(TextId id, int32_t language) {
  const TextPair& p = Pair(id);
  return language == 0 ? p.ru : p.en;
}

std::string Format(TextId id, int32_t language, std::initializer_list<std::string> args) {
  const std::string pattern = Text(id, language);
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
      if (next != args.end()) out += *next++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace tallyra
