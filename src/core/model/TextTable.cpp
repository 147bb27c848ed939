#include "model/TextTable.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "model/Workspace.h"

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
    {"Загрузка оборвалась: сервер обещал %s байт, а прислал %s. Файл \"Results.txt\" не "
     "изменён.",
     "The download is incomplete: the server announced %s bytes but sent %s. \"Results.txt\" "
     "was kept."},  // TxtDownloadIncomplete
    {"Полученный файл не является списком тиражей, поэтому файл \"Results.txt\" не "
     "изменён.\n%s",
     "The downloaded file is not a draw history, so \"Results.txt\" was kept."
     "\n%s"},  // TxtDownloadNotResults
    {"Полученный файл не содержит ни одного тиража, поэтому файл \"Results.txt\" не изменён.",
     "The downloaded file holds no draws, so \"Results.txt\" was kept."},  // TxtDownloadNoDraws
    {"Сервер прислал больше %s МиБ; загрузка остановлена. Файл \"Results.txt\" не изменён.",
     "The server sent more than %s MiB; the download was stopped. \"Results.txt\" was "
     "kept."},  // TxtDownloadTooLarge
    {"Заголовок ответа сервера больше %s КиБ; загрузка остановлена. Файл \"Results.txt\" не "
     "изменён.",
     "The header of the server's answer is larger than %s KiB; the download was stopped. "
     "\"Results.txt\" was kept."},  // TxtDownloadHeaderTooLarge
                                    // File handling: the reasons a file could not be read or
                                    // written
    {"Строка %d не закончена знаком \";\" и не загружена: «%s»",
     "Line %d does not end with \";\" and was not loaded: \"%s\""},            // TxtUnfinishedLine
    {"Нет такого файла или каталога", "No such file or directory"},            // TxtErrNoSuchFile
    {"Доступ запрещён", "Permission denied"},                                  // TxtErrPermission
    {"Файловая система доступна только для чтения", "Read-only file system"},  // TxtErrReadOnlyFs
    {"На устройстве не осталось места", "No space left on device"},            // TxtErrNoSpace
    {"Это каталог", "Is a directory"},                                         // TxtErrIsDirectory
    {"Это не обычный файл (а канал, устройство или сокет)",
     "Not a regular file (a pipe, a device or a socket)"},  // TxtErrNotRegular
    {"Файл больше %s МБ, столько не вмещает ни один список",
     "The file is larger than %s MB, more than any list can hold"},  // TxtErrTooLarge
    {"Системная ошибка номер %s", "%s"},                             // TxtErrOther
    {"Недостаточно памяти для выполнения операции.",
     "There is not enough memory to complete the operation."},       // TxtOutOfMemory
    {"Записано %s из %s байт (%s)", "%s of %s bytes written (%s)"},  // TxtSavedBytes
                                                                     // Wheels
    {"Пул должен содержать от 7 до %d чисел, а в нём %d.",
     "A pool needs 7 to %d numbers; this one has %d."},  // TxtWheelPoolSize
    {"Число пула %d лежит вне диапазона 1..%d.",
     "The pool number %d lies outside 1..%d."},  // TxtWheelPoolRange
    {"Число %d встречается в пуле больше одного раза.",
     "The pool holds %d more than once."},  // TxtWheelPoolRepeat
    {"\"%s\" не является числом пула.",
     "\"%s\" is not a number for the pool."},  // TxtWheelPoolNotNumber
    {"\"%s\" не является гарантией; пишите её в виде TifM, например 3if4.",
     "\"%s\" is not a guarantee; write it as TifM, for example 3if4."},  // TxtWheelGuaranteeForm
    {"Гарантия %s невозможна: нужно 2 <= T <= M <= 6, и M не больше размера пула.",
     "The guarantee %s is impossible: it needs 2 <= T <= M <= 6 and M no larger than the "
     "pool."},  // TxtWheelGuaranteeRange
    {"Пул слишком велик для построения гарантии %s: пришлось бы покрыть %s наборов.",
     "The pool is too large to build the guarantee %s: %s sets would have to be covered."},  // TxtWheelTooLarge
    {"Билетов с числами вне пула: %d; они учитываются только числами из пула.",
     "%d tickets hold numbers outside the pool; they count only through their numbers in the "
     "pool."},  // TxtWheelOutsidePool
    {"«%s» — не денежная сумма (пишите её так: 12.50)",
     "\"%s\" is not an amount of money (write it like 12.50)"},  // TxtAmountNotNumber
    {"Денежная сумма не может быть отрицательной: «%s»",
     "An amount of money cannot be negative: \"%s\""},  // TxtAmountNegative
    {"Сумма «%s» больше наибольшей допустимой, 99999999999.99",
     "The amount \"%s\" is more than the largest allowed, 99999999999.99"},  // TxtAmountTooLarge
    {"В сумме «%s» больше двух знаков после запятой",
     "The amount \"%s\" has more than two decimals"},                    // TxtAmountDecimals
    {"Строка %d файла выигрышей: %s", "Line %d of the prize file: %s"},  // TxtPrizeLine
    {"ожидается «название; сумма» или «тираж; сумма3; сумма4; сумма5; сумма6»",
     "expected \"name; amount\" or \"draw; amount3; amount4; amount5; amount6\""},  // TxtPrizeFields
    {"«%s» — не цена (price), не разряд (3, 4, 5, 6) и не валюта (currency)",
     "\"%s\" is neither the price, a tier (3, 4, 5, 6) nor the currency"},  // TxtPrizeUnknownName
    {"«%s» уже задан в строке %d", "\"%s\" is already given on line %d"},   // TxtPrizeGivenTwice
    {"«%s» — не номер тиража", "\"%s\" is not a draw number"},              // TxtPrizeBadDraw
    {"название валюты длиннее 32 байт или содержит управляющие символы",
     "the currency's name is longer than 32 bytes or holds control characters"},  // TxtPrizeBadCurrency
    {"Прежняя таблица выигрышей сохранена.",
     "The previous prize table is kept."},                                // TxtPrizeTableKept
    {"Результаты тиражей не загружены.", "No draw results are loaded."},  // TxtWinningsNoDraws
    {"Тиража %d нет: загружены тиражи с %d по %d.",
     "There is no draw %d: draws %d to %d are loaded."},  // TxtWinningsNoSuchDraw
    {"Суммы слишком велики: итог превысил бы %s. Выигрыши не подсчитаны.",
     "The sums are too large: a total would exceed %s. The winnings were not computed."},  // TxtWinningsOverflow
                                                                                           // Import
                                                                                           // of
                                                                                           // files
                                                                                           // from
                                                                                           // the
                                                                                           // wild
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
     "them?"},                                             // TxtMergeNoOverlap
    {"Выигрыши...", "Prizes..."},                          // TxtMenuPrizes
    {"Выигрыши ставок...", "Winnings..."},                 // TxtMenuWinnings
    {"Таблица выигрышей", "Prize table"},                  // TxtPrizesCaption
    {"Цена билета:", "Ticket price:"},                     // TxtPrizesPrice
    {"За %d совпавших чисел:", "For %d common numbers:"},  // TxtPrizesTier
    {"Валюта:", "Currency:"},                              // TxtPrizesCurrency
    {"ОК", "OK"},                                          // TxtOk
    {"Отмена", "Cancel"},                                  // TxtCancel
    {"%s %s", "%s %s"},                                    // TxtPrizesFieldProblem
    {"Выигрыши ставок", "Winnings"},                       // TxtWinningsCaption
    {"Последний тираж", "Latest draw"},                    // TxtWinningsLatest
    {"Тираж:", "Draw:"},                                   // TxtWinningsOne
    {"Все тиражи", "Every draw"},                          // TxtWinningsAll
    {"Выигрыши тиражей...", "Prizes of the draws..."},     // TxtWinningsDrawPrizes
    {"Подсчитать", "Compute"},                             // TxtWinningsCompute
    {"Сохранить CSV...", "Export CSV..."},                 // TxtWinningsExport
    {"Закрыть", "Close"},                                  // TxtClose
    {"Список", "List"},                                    // TxtWColList
    {"Строка", "Row"},                                     // TxtWColRow
    {"Чисел", "Numbers"},                                  // TxtWColNumbers
    {"Выигрыш", "Winnings"},                               // TxtWColWinnings
    {"Стоимость", "Cost"},                                 // TxtWColCost
    {"Баланс", "Balance"},                                 // TxtWColBalance
    {"ставки", "stakes"},                                  // TxtWListStakes
    {"система", "system"},                                 // TxtWListSystem
    {"%s. Билетов с 3, 4, 5, 6 совпадениями: %s, %s, %s, %s. Стоимость: %s. Выигрыш: %s. "
     "Баланс: %s.",
     "%s. Tickets with 3, 4, 5, 6 common numbers: %s, %s, %s, %s. Cost: %s. Winnings: %s. "
     "Balance: %s."},  // TxtWinningsTotals
    {"Лучший тираж: %s (баланс %s). Худший тираж: %s (баланс %s).",
     "Best draw: %s (balance %s). Worst draw: %s (balance %s)."},  // TxtWinningsBestWorst
    {"Подсчёт выигрышей...", "Computing the winnings..."},         // TxtWinningsComputing
    {"Баланс нарастающим итогом", "Cumulative balance"},           // TxtWinningsChart
    {"Тираж", "Draw"},                                             // TxtWinningsAxisDraw
    {"Баланс", "Balance"},                                         // TxtWinningsAxisBalance
    {"Нет ни ставок, ни системных ставок.",
     "There are no stakes and no system stakes."},        // TxtWinningsNoStakes
    {"Выигрыши тиражей: %s", "Prizes of the draws: %s"},  // TxtWinningsDrawPrizesFile
    {"Выпадения чисел", "Draws per number"},              // TxtStatsChart
    {"Последних тиражей:", "Latest draws:"},              // TxtStatsLastDraws
    {"Выпадало", "Drawn"},                                // TxtStatsDrawn
    {"В последнем тираже", "In the latest draw"},         // TxtStatsLatestDraw
    {"Сохранить как PNG...", "Save as PNG..."},           // TxtSavePng
    {"Не удалось сохранить рисунок в %s.",
     "The picture could not be saved to %s."},  // TxtPngNotSaved
    {"все", "all"},                             // TxtStatsAllDraws
    {"Адрес для загрузки результатов (http:// или https://):",
     "Address of the draw history (http:// or https://):"},  // TxtOptionsAddress
    {"Адрес должен начинаться с http:// или https:// и содержать имя сервера, без пробелов.",
     "The address must start with http:// or https:// and name a server, with no "
     "spaces."},  // TxtOptionsBadAddress
    {"Адрес для загрузки \"%s\" не начинается с http:// или https://. Укажите другой в "
     "настройках.",
     "The download address \"%s\" does not start with http:// or https://. Give another one "
     "in Options."},  // TxtDownloadBadAddress
    {"Сертификат сервера не прошёл проверку, соединение прервано. \"Results.txt\" не "
     "изменён.\n%s",
     "The server's certificate could not be verified, so the connection was dropped. "
     "\"Results.txt\" was kept.\n%s"},  // TxtDownloadCertificate
    {"Импорт...", "Import..."},         // TxtMenuImport
    {"Импорт", "Import"},               // TxtImportCaption
    {"%s: прочитано строк: %d; взято строк: %d; пропущено строк: %d.",
     "%s: %d lines read, %d rows taken, %d lines skipped."},  // TxtImportSummary
    {"Столбцы с числами:", "Columns of the numbers:"},        // TxtImportColumns
    {"Применить", "Apply"},                                   // TxtImportApply
    {"Порядок в файле:", "Order in the file:"},               // TxtImportOrder
    {"сначала старые", "oldest first"},                       // TxtImportOldestFirst
    {"сначала новые", "newest first"},                        // TxtImportNewestFirst
    {"Строки в том виде, в каком они будут сохранены (первые и последние):",
     "Rows as they will be stored (first and last):"},  // TxtImportRowsTitle
    {"Пропущенные строки:", "Lines skipped:"},          // TxtImportSkippedTitle
    {"Прочитано как собственные строки записей программы.",
     "Read as the program's own record lines."},  // TxtImportShapeRecords
    {"Прочитано как поля, разделённые \"%s\"; числа из столбцов %s.",
     "Read as fields separated by \"%s\"; the numbers from columns %s."},  // TxtImportShapeSeparated
    {"Прочитано как числа в тексте; числа из столбцов %s.",
     "Read as numbers in free text; the numbers from columns %s."},  // TxtImportShapeFree
    {"Порядок определён по датам (столбец %d).",
     "The order was found from the dates (column %d)."},  // TxtImportBasisDates
    {"Порядок определён по номерам тиражей (столбец %d).",
     "The order was found from the draw numbers (column %d)."},  // TxtImportBasisNumbers
    {"Порядок не виден из файла; считается, что сначала идут старые.",
     "Nothing in the file shows the order; oldest first is assumed."},  // TxtImportBasisAssumed
    {"Порядок задан вами.", "The order is as you chose."},              // TxtImportBasisChosen
    {"Добавить %d импортированных строк после %d имеющихся? \"Да\" добавляет, \"Нет\" заменяет "
     "ими список.",
     "Add the %d imported rows after the %d held? Yes adds them, No replaces the list with "
     "them."},  // TxtImportAskAppend
    {"В списке %d строк, а помещается не более %d; %d импортированных строк не помещаются. Ничего "
     "не изменено.",
     "The list holds %d rows and takes at most %d; the %d imported ones do not fit. Nothing was "
     "changed."},           // TxtImportNoRoom
    {"табуляцией", "tab"},  // TxtImportTab
    // Wheels window
    {"Сокращённые системы...", "Wheels..."},                    // TxtMenuWheels
    {"Сокращённые системы", "Wheels"},                          // TxtWheelsCaption
    {"Пул:", "Pool:"},                                          // TxtWheelsPool
    {"Пул из системной ставки:", "Pool from a system stake:"},  // TxtWheelsFromSystem
    {"(выберите ставку)", "(choose a stake)"},                  // TxtWheelsChooseSystem
    {"Гарантия:", "Guarantee:"},                                // TxtWheelsGuarantee
    {"при", "if"},                                              // TxtWheelsIf
    {"Время поиска, с:", "Search time, s:"},                    // TxtWheelsSeconds
    {"Построить", "Build"},                                     // TxtWheelsBuild
    {"Проверить ставки", "Check the stakes"},                   // TxtWheelsCheckStakes
    {"Отправить в ставки", "Send to stakes"},                   // TxtWheelsSend
    {"Закрыть", "Close"},                                       // TxtWheelsClose
    {"Строится система...", "Building the wheel..."},           // TxtWheelsBuilding
    {"Лучшая система пока: билетов %d", "Smallest wheel so far: %d tickets"},  // TxtWheelsBest
    {"Проверяется покрытие...", "Checking the coverage..."},                   // TxtWheelsChecking
    {"Система %s: билетов %d, нижняя граница %d (%s), отношение %s.",
     "Wheel %s: %d tickets; lower bound %d (%s), ratio %s."},  // TxtWheelsCount
    {"Ставки: билетов %d.", "Stakes: %d tickets."},            // TxtWheelsStakesCount
    {"Стоимость: %s %s", "Cost: %s %s"},                       // TxtWheelsCost
    {"Покрытие системы", "Coverage of the wheel"},             // TxtWheelsCoverageOfWheel
    {"Покрытие ставок", "Coverage of the stakes"},             // TxtWheelsCoverageOfStakes
    {"Покрыто", "Covered"},                                    // TxtWheelsColCovered
    {"Всего", "Total"},                                        // TxtWheelsColTotal
    {"%", "%"},                                                // TxtWheelsColPercent
    {"Выполнена", "Holds"},                                    // TxtWheelsColHolds
    {"Пример непокрытого набора", "A set not covered"},        // TxtWheelsColExample
    {"да", "yes"},                                             // TxtWheelsYes
    {"нет", "no"},                                             // TxtWheelsNo
    {"Введите числа пула, например: 1 5 7 12 18 23 30.",
     "Type the pool's numbers, for example: 1 5 7 12 18 23 30."},  // TxtWheelsPoolEmpty
    {"Построение остановлено до того, как была найдена проверенная система. Показывать нечего.",
     "The build was stopped before a verified wheel was found. There is nothing to show."},  // TxtWheelsStoppedEmpty
    {"Построение остановлено; показана наименьшая проверенная система из найденных.",
     "The build was stopped; the smallest verified wheel found so far is shown."},  // TxtWheelsStoppedKept
    {"Проверка остановлена; таблица покрытия не показана.",
     "The check was stopped; no coverage table is shown."},  // TxtWheelsCheckStopped
    {"Список ставок пуст: проверять нечего.",
     "The list of stakes is empty: there is nothing to check."},  // TxtWheelsNoStakes
    {"Сначала постройте систему.", "Build a wheel first."},       // TxtWheelsNothingToSend
    {"В список ставок добавлено билетов: %d.",
     "%d tickets were added to the stakes."},  // TxtWheelsSent
    {"В списке ставок осталось место только для %d ставок, а в системе билетов %d. Ничего не "
     "добавлено.",
     "The list of stakes has room for only %d more stakes, and the wheel has %d tickets. Nothing "
     "was added."},  // TxtWheelsNoRoom
    {"Система %s на этом пуле содержит не меньше %s билетов, а список ставок вмещает %d. Система "
     "не строится.",
     "A wheel %s over this pool holds at least %s tickets, and the list of stakes holds %d. The "
     "wheel is not built."},  // TxtWheelsTooManyTickets
    {"Не удалось создать папку данных \"%s\" или перейти в неё. Укажите другую папку: --data "
     "ПАПКА.",
     "Cannot make or enter the data folder \"%s\". Name another one with --data FOLDER."},  // TxtDataFolderFailed
    {"Справка Tallyra", "Tallyra Help"},      // TxtHelpCaption
    {"Назад", "Back"},                        // TxtHelpBack
    {"Вперёд", "Forward"},                    // TxtHelpForward
    {"Найти на странице:", "Find in page:"},  // TxtHelpFind
    {"Содержание", "Contents"},               // TxtHelpContents
    {"Выигрыши %d тиражей из файла сохранены в \"prizes.tly\"; отчёт о выигрышах учитывает их.",
     "The prizes of %d draws in the file were kept in \"prizes.tly\"; the winnings report uses "
     "them."},  // TxtImportPrizesKept
    // The help window's buttons, as a screen reader names them
    {"Назад, к предыдущей странице", "Back to the previous page"},  // TxtHelpBackName
    {"Вперёд, к следующей странице", "Forward to the next page"},   // TxtHelpForwardName
    // Files kept safe: standard output that cannot be written
    {"Не удалось вывести результат. %s", "Cannot write the output. %s"},  // TxtOutputFailed
    // A wheel build that runs out of time
    {"Время вышло раньше, чем была найдена и проверена полная система %s. Дайте построению "
     "больше времени.",
     "The time ran out before a complete wheel %s was found and checked. Give the build more "
     "time."},  // TxtWheelTimeRanOut
    // The window's rough edges: counts, guarantees, file dialogs, chart axes
    {"Тираж %s", "Draw %s"},                    // TxtWinningsDrawOne
    {"Тиражи %s–%s (%s)", "Draws %s–%s (%s)"},  // TxtWinningsDrawRange
    {"тираж|тиража|тиражей", "draw|draws"},     // TxtDrawForms
    {"Баланс, млн", "Balance, millions"},       // TxtWinningsAxisMillions
    {"Баланс, млрд", "Balance, billions"},      // TxtWinningsAxisBillions
    {"%s при %s", "%s if %s"},                  // TxtWheelsGuaranteeWords
    {"в названии валюты не может быть «;»: этим знаком разделены поля файла выигрышей",
     "the currency's name cannot hold \";\", which separates the fields of the prize file"},  // TxtPrizeCurrencySemicolon
    {"Импорт истории тиражей", "Import draw history"},    // TxtImportTitleResults
    {"Импорт ставок", "Import stakes"},                   // TxtImportTitleStakes
    {"Импорт системных ставок", "Import system stakes"},  // TxtImportTitleSystem
    {"Все файлы (*)", "All files (*)"},                   // TxtFilterAll
    {"Текстовые файлы (*.txt)", "Text files (*.txt)"},    // TxtFilterText
    {"Истории тиражей (*.txt *.csv *.tsv)",
     "Draw histories (*.txt *.csv *.tsv)"},  // TxtFilterDrawHistories
    {"Списки ставок (*.txt *.csv *.tsv)",
     "Stake lists (*.txt *.csv *.tsv)"},  // TxtFilterStakeLists
    {"Списки системных ставок (*.txt *.csv *.tsv)",
     "System stake lists (*.txt *.csv *.tsv)"},                      // TxtFilterSystemLists
    {"Файлы выигрышей (*.txt *.tly)", "Prize files (*.txt *.tly)"},  // TxtFilterPrizes
    {"Таблицы CSV (*.csv)", "CSV tables (*.csv)"},                   // TxtFilterCsv
    {"Рисунки PNG (*.png)", "PNG pictures (*.png)"},                 // TxtFilterPng
    // Import: numbers that are no balls, repeated rows, dates out of order
    {"\"%s\" не целое число без знака и не может быть номером шара",
     "\"%s\" is not a plain whole number and cannot be a ball"},  // TxtImportNotWhole
    {"повтор строки %d", "repeat of line %d"},                    // TxtImportRepeatedRow
    {"дата %s идёт не по порядку дат строк выше; проверьте файл",
     "the date %s is out of the order of the dates above; check the file"},  // TxtImportOutOfOrder
    // Download: addresses with control characters, the time a whole download may take
    {"Адрес \"%s\" содержит управляющий символ и не может быть использован.",
     "The address \"%s\" holds a control character and cannot be used."},  // TxtUrlControl
    {"Загрузка шла дольше %d мин. и была прервана. \"Results.txt\" сохранён.",
     "The download took longer than %d minutes and was stopped. \"Results.txt\" was "
     "kept."},  // TxtDownloadTimeLimit
    // One error channel: the winnings' caller faults, memory in a command, the wheel's summary
    {"Тиражей (%s) больше, чем вмещает история (%s); выигрыши не подсчитаны.",
     "There are more draws (%s) than the history holds (%s); the winnings were not "
     "counted."},  // TxtWinningsTooManyDraws
    {"Недостаточно памяти для этой команды.",
     "Not enough memory for this command."},  // TxtCommandOutOfMemory
    {"гарантия %s на %s числах: билетов %s, граница %s (первая система %s)",
     "guarantee %s over %s numbers: %s tickets, bound %s (first wheel %s)"},  // TxtWheelSummary
    // Command line: the messages around its list, certificate and prize files
    {"%s: %s", "%s: %s"},  // TxtCliListFileSays
    {"не удалось прочитать сертификаты из %s",
     "cannot read the certificates in %s"},  // TxtCliCannotReadCertificates
    {"нет таблицы выигрышей (%s): все суммы равны 0",
     "no prize table (%s): every amount is 0"},  // TxtCliNoPrizeTable
    {"в файле выигрышей есть тиражи, которых нет в истории: %s",
     "the prize file names %s draw(s) that the results do not hold"},  // TxtCliPrizesOfAbsentDraws
    // Games: the plain game, draw days, the preview's proposed game and its offer to set M
    {"6 из %s", "6 of %s"},        // TxtGamePlain
    {"каждый день", "every day"},  // TxtGameEveryDay
    {"понедельник|вторник|среда|четверг|пятница|суббота|воскресенье",
     "Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday"},  // TxtGameWeekdays
    {"Игра:", "Game:"},                                            // TxtImportGame
    {"Числа в файле доходят до %s; в программе задана игра 6 из %s",
     "The numbers run up to %s; the game is set to 6 of %s"},  // TxtImportGameRunsUpTo
    {"Файл похож на историю игры %s (6 из %s); в программе задана игра 6 из %s",
     "The file looks like a history of %s (6 of %s); the game is set to 6 of %s."},  // TxtImportGameDiffers
    {"Задать 6 из %s", "Set 6 of %s"},  // TxtImportSetGame
    // Import: columns first, then M; repeated draws; counts as the user counts
    {"строка %d содержит %d, больше --max %d",
     "line %d holds %d, above --max %d"},  // TxtImportAboveMax
    {"M: %d (наибольшее прочитанное число)",
     "M: %d (the largest number read)"},  // TxtImportMaxRead
    {"Прочитано: %s, столбцы %s. Укажите столбцы шести чисел в --columns, например --columns "
     "2,3,4,5,6,7.",
     "Found: %s, columns %s. Give the columns of the six numbers with --columns, such as "
     "--columns 2,3,4,5,6,7."},  // TxtImportAskColumns
    {"другие числа с номером тиража и датой строки %d (второй тираж?); не взято",
     "other numbers under the draw number and date of line %d (a second draw?); not "
     "taken"},  // TxtImportSecondDraw
    {"те же числа, что в строке %d, и нечем их различить; взято, проверьте файл",
     "the same numbers as line %d, with no date or draw number to tell them apart; kept, "
     "check the file"},                        // TxtImportSuspectedRepeat
    {"выпало чисел: %d", "%d numbers drawn"},  // TxtImportSevenOrMore
    {"заголовок", "heading"},                  // TxtImportHeadingLine
    {"Прочитано тиражей: %s; сохранены последние %s.",
     "%s draws read; the %s newest kept."},  // TxtImportDrawsKept
    {"чисел в ряду: %d, это ставка системы",
     "%d numbers in a row: a system stake"},  // TxtImportSystemRow
    // Import: files of several games, and a game's M below the numbers
    {"другая игра (%s)", "another game (%s)"},  // TxtImportOtherGame
    {"В файле тиражи нескольких игр: %s. Импортируются тиражи только заданной игры; задайте одну "
     "из них.",
     "The file holds the draws of several games: %s. Only the draws of the game set are "
     "imported; set one of them."},  // TxtImportSeveralGames
    {"строка %d содержит %d, больше %d — наибольшего числа игры %s",
     "line %d holds %d, above %d, the largest number of %s"},  // TxtImportAboveGame
    // Analysis: the uniformity test in words
    {"Частоты чисел так равномерны, как сделал бы их случай (хи-квадрат %s, степеней свободы: "
     "%s, p = %s).",
     "The counts are as even as chance would make them (chi-square %s, %s degrees of freedom, "
     "p = %s)."},  // TxtAnalysisEven
    {"Частоты чисел менее равномерны, чем сделал бы их случай: так бывает в 1 случае из %s "
     "(хи-квадрат %s, степеней свободы: %s, p = %s).",
     "The counts are less even than chance would make them in 1 case out of %s (chi-square %s, "
     "%s degrees of freedom, p = %s)."},  // TxtAnalysisUneven
    // Generator: what is wrong with a filter
    {"%s: «%s» — не диапазон A-B в пределах %s..%s с A не больше B",
     "%s: '%s' is no range A-B within %s..%s with A not above B"},           // TxtFilterRange
    {"%s: «%s» — не число от %s до %s", "%s: '%s' is no number of %s..%s"},  // TxtFilterCount
    {"%s: «%s» — не список разных чисел от 1 до %s через запятую",
     "%s: '%s' is no list of different numbers of 1..%s, separated by commas"},  // TxtFilterNumbers
    {"%s не принимает значения", "%s takes no value"},                           // TxtFilterNoValue
    {"неизвестный фильтр «%s»", "unknown filter '%s'"},                          // TxtFilterUnknown
    {"%s читает тиражи, а в диапазоне их нет",
     "%s reads the draws, and the range holds none"},  // TxtFilterNeedsDraws
    {"фильтров по истории тиражей не больше %s",
     "at most %s filters that read the draws"},  // TxtFilterTooMany
    {"тираж %s — не шесть разных чисел от 1 до %s",
     "draw %s is not six different numbers of 1..%s"},  // TxtFilterBadDraw
    // Analysis window: the range, the numbers, skips, pairs and triples, patterns
    {"Анализ тиражей...", "Analysis of the draws..."},                       // TxtMenuAnalysis
    {"Анализ тиражей...", "Analysis of the draws..."},                       // TxtAnalysisButton
    {"Анализ тиражей", "Analysis of the draws"},                             // TxtAnalysisCaption
    {"тиражи %s–%s из %s", "draws %s–%s of %s"},                             // TxtAnalysisRangeText
    {"нет тиражей", "no draws"},                                             // TxtAnalysisNoDraws
    {"Какие тиражи смотреть", "Draws looked at"},                            // TxtAnalysisRangeBox
    {"Все тиражи", "Every draw held"},                                       // TxtAnalysisAll
    {"Последние", "The latest"},                                             // TxtAnalysisLatest
    {"Тиражи с", "Draws from"},                                              // TxtAnalysisBetween
    {"по", "to"},                                                            // TxtAnalysisTo
    {"Малые числа — до", "Low numbers up to"},                               // TxtAnalysisLow
    {"Повторы из предыдущих тиражей:", "Repeats from the previous draws:"},  // TxtAnalysisDepth
    {"Числа", "Numbers"},                      // TxtAnalysisTabNumbers
    {"Пропуски", "Skips"},                     // TxtAnalysisTabSkips
    {"Пары и тройки", "Pairs and triples"},    // TxtAnalysisTabPairs
    {"Структура тиражей", "Patterns"},         // TxtAnalysisTabPatterns
    {"Число", "Number"},                       // TxtAnalysisColNumber
    {"Выпадало", "Hits"},                      // TxtAnalysisColHits
    {"Ожидалось", "Expected"},                 // TxtAnalysisColExpected
    {"Текущий пропуск", "Current skip"},       // TxtAnalysisColSkip
    {"Средний пропуск", "Average skip"},       // TxtAnalysisColAverageSkip
    {"Самый долгий пропуск", "Longest skip"},  // TxtAnalysisColLongestSkip
    {"В выбранном диапазоне нет тиражей.", "There are no draws in the range."},  // TxtAnalysisEmpty
    {"Каждая метка — тираж, в котором число выпало",
     "Each mark is a draw the number came in"},                      // TxtAnalysisSkipsChart
    {"Тираж", "Draw"},                                               // TxtAnalysisAxisDraw
    {"Пары, выпадавшие чаще всего", "Pairs seen most often"},        // TxtAnalysisPairsMost
    {"Пары, выпадавшие реже всего", "Pairs seen least often"},       // TxtAnalysisPairsLeast
    {"Тройки, выпадавшие чаще всего", "Triples seen most often"},    // TxtAnalysisTriplesMost
    {"Тройки, выпадавшие реже всего", "Triples seen least often"},   // TxtAnalysisTriplesLeast
    {"Числа", "Numbers"},                                            // TxtAnalysisColNumbers
    {"Раз", "Times"},                                                // TxtAnalysisColTimes
    {"Пары числа", "Companions of"},                                 // TxtAnalysisCompanionsOf
    {"С числом", "With"},                                            // TxtAnalysisColWith
    {"Как часто выпадала каждая пара", "How often each pair came"},  // TxtAnalysisHeatMap
    {"Нечётных чисел в тираже", "Odd numbers in a draw"},            // TxtAnalysisDistOdd
    {"Малых чисел в тираже", "Low numbers in a draw"},               // TxtAnalysisDistLow
    {"Сумма чисел тиража", "Sum of a draw's numbers"},               // TxtAnalysisDistSum
    {"Размах: наибольшее минус наименьшее",
     "Spread: highest minus lowest"},  // TxtAnalysisDistSpread
    {"Пар соседних чисел в тираже",
     "Pairs of consecutive numbers in a draw"},                 // TxtAnalysisDistConsecutive
    {"Выпавшие числа по десяткам", "Numbers drawn by decade"},  // TxtAnalysisDistDecades
    {"Выпавшие числа по последней цифре",
     "Numbers drawn by last digit"},                                    // TxtAnalysisDistLastDigits
    {"Чисел из предыдущего тиража", "Numbers from the previous draw"},  // TxtAnalysisDistRepeats
    {"Чисел из предыдущих тиражей (%d)",
     "Numbers from the previous %d draws"},             // TxtAnalysisDistRepeatsWithin
    {"Значение", "Value"},                              // TxtAnalysisColValue
    {"Наблюдалось", "Seen"},                            // TxtAnalysisColSeen
    {"Структура каждого тиража", "Each draw's shape"},  // TxtAnalysisShapes
    {"Нечётных", "Odd"},                                // TxtAnalysisColOdd
    {"Малых", "Low"},                                   // TxtAnalysisColLow
    {"Сумма", "Sum"},                                   // TxtAnalysisColSum
    {"Размах", "Spread"},                               // TxtAnalysisColSpread
    {"Соседних пар", "Consecutive"},                    // TxtAnalysisColConsecutive
    {"Из предыдущего", "From the previous"},            // TxtAnalysisColRepeats
    {"Из предыдущих %d", "From the previous %d"},       // TxtAnalysisColRepeatsWithin
    {"Экспорт в CSV...", "Export CSV..."},              // TxtAnalysisExport
    {"Тираж %s — не шесть разных чисел от 1 до %s; ничего не подсчитано.",
     "Draw %s is not six different numbers of 1 to %s; nothing is counted."},  // TxtAnalysisBadDraw
    // Generator: stakes made through filters, their funnel and their output
    {"Сгенерировать ставки через фильтры...",
     "Generate stakes through filters..."},                                     // TxtMenuGenerate
    {"Генератор ставок", "Generate stakes"},                                    // TxtGenCaption
    {"Сумма чисел", "Sum of the numbers"},                                      // TxtGenKindSum
    {"Нечётных чисел", "Odd numbers"},                                          // TxtGenKindOdd
    {"Малых чисел", "Low numbers"},                                             // TxtGenKindLow
    {"Размах (наибольшее минус наименьшее)", "Spread (highest minus lowest)"},  // TxtGenKindSpread
    {"Пар соседних чисел, не более",
     "Pairs of consecutive numbers, at most"},  // TxtGenKindConsecutive
    {"Чисел из одного десятка, не более", "Numbers of one decade, at most"},  // TxtGenKindDecade
    {"Чисел с одной последней цифрой, не более",
     "Numbers sharing a last digit, at most"},                 // TxtGenKindLastDigit
    {"Содержит все эти числа", "Holds all of these numbers"},  // TxtGenKindInclude
    {"Содержит хотя бы одно из чисел",
     "Holds at least one of these numbers"},                    // TxtGenKindIncludeAny
    {"Не содержит этих чисел", "Holds none of these numbers"},  // TxtGenKindExclude
    {"Только из этих чисел", "Only of these numbers"},          // TxtGenKindPool
    {"Чисел последнего тиража, не более",
     "Numbers of the latest draw, at most"},  // TxtGenKindPrevious
    {"Ещё не выпадала", "Never drawn"},       // TxtGenKindNotDrawn
    {"Общих чисел с любым тиражом, не более",
     "Numbers in common with any draw, at most"},  // TxtGenKindShare
    {"Хотя бы одна из N самых частых пар",
     "At least one of the N most frequent pairs"},                        // TxtGenKindTopPairs
    {"Фильтры (по порядку)", "Filters (in order)"},                       // TxtGenFiltersBox
    {"Фильтр", "Filter"},                                                 // TxtGenColFilter
    {"Границы или числа", "Bounds or numbers"},                           // TxtGenColArguments
    {"Осталось", "Left"},                                                 // TxtGenColLeft
    {"Оставляет сам", "Kept alone"},                                      // TxtGenColAlone
    {"Тиражей прошло бы", "Draws kept"},                                  // TxtGenColDraws
    {"Добавить", "Add"},                                                  // TxtGenAdd
    {"Удалить", "Remove"},                                                // TxtGenRemove
    {"Выше", "Up"},                                                       // TxtGenUp
    {"Ниже", "Down"},                                                     // TxtGenDown
    {"Числа для выбранного фильтра:", "Numbers for the chosen filter:"},  // TxtGenNumbersFor
    {"Из системной ставки", "From system stake"},                         // TxtGenFromSystem
    {"Самые частые", "Most frequent"},                                    // TxtGenMostFrequent
    {"Самые редкие", "Least frequent"},                                   // TxtGenLeastFrequent
    {"Не выпадавшие не менее", "Absent for at least"},                    // TxtGenSkipping
    {"Выберите в списке фильтр, которому нужны числа (например, «Только из этих чисел»).",
     "Choose a filter that takes numbers in the list (such as \"Only of these numbers\")."},  // TxtGenNoNumbersFilter
    {"В списке системных ставок нет строки %d.",
     "The system stakes list has no row %d."},                            // TxtGenNoSystemRow
    {"Тиражи для фильтров истории:", "Draws the history filters read:"},  // TxtGenRange
    {"все", "all"},                                                       // TxtGenRangeAll
    {"последние", "the latest"},                                          // TxtGenRangeLatest
    {"с", "from"},                                                        // TxtGenRangeBetween
    {"по", "to"},                                                         // TxtGenRangeTo
    {"Такого диапазона тиражей нет в истории.",
     "The history holds no such range of draws."},                               // TxtGenRangeBad
    {"В выбранном диапазоне нет тиражей.", "The chosen range holds no draws."},  // TxtGenNoDraws
    {"Воронка", "The funnel"},                                                   // TxtGenFunnelBox
    {"Всего комбинаций C(%d, 6): %s. Осталось после всех фильтров: %s. Из %s тиражей диапазона все "
     "фильтры вместе пропустили бы %s (%s).",
     "All combinations C(%d, 6): %s. Left after every filter: %s. Of the %s draws of the range, "
     "all the filters together would have kept %s (%s)."},  // TxtGenSummary
    {"Ничего не осталось после фильтра %d «%s».",
     "Nothing is left after filter %d, \"%s\"."},  // TxtGenEmptiedBy
    {"Комбинаций после каждого фильтра",
     "Combinations left after each filter"},                         // TxtGenChartTitle
    {"Все", "All"},                                                  // TxtGenChartAll
    {"Считаю комбинации...", "Counting the combinations..."},        // TxtGenComputing
    {"Результат", "Output"},                                         // TxtGenOutputBox
    {"Не более", "At most"},                                         // TxtGenCount
    {"случайная выборка, зерно", "a random sample, seed"},           // TxtGenSample
    {"равномерно по порядку", "evenly spaced, in order"},            // TxtGenEvery
    {"В список ставок", "Into the stakes list"},                     // TxtGenToStakes
    {"Как пул для сокращённых систем", "As a pool for the wheels"},  // TxtGenToWheels
    {"В файл...", "Into a file..."},                                 // TxtGenToFile
    {"Сохранить фильтры...", "Save filters..."},                     // TxtGenSaveFilters
    {"Загрузить фильтры...", "Load filters..."},                     // TxtGenLoadFilters
    {"Наборы фильтров (*.tlf)", "Filter sets (*.tlf)"},              // TxtGenFilterFiles
    {"Строка %d файла фильтров не читается: %s",
     "Line %d of the filter file does not read: %s"},  // TxtGenBadLine
    {"Записаны все оставшиеся комбинации: %s.",
     "All the combinations left were written: %s."},  // TxtGenPickedAll
    {"Записано %s из %s оставшихся: случайная выборка с зерном %s.",
     "%s of the %s left were written: a random sample with seed %s."},  // TxtGenPickedSample
    {"Записано %s из %s оставшихся: каждая %s-я по порядку.",
     "%s of the %s left were written: one in every %s, in order."},  // TxtGenPickedEvery
    {"Фильтры не оставили ни одной комбинации.",
     "The filters leave no combination."},                     // TxtGenNothingLeft
    {"Фильтр %d: %s", "Filter %d: %s"},                        // TxtGenFixFilter
    {"Выбираю комбинации...", "Picking the combinations..."},  // TxtGenPicking
    {"Добавить %d созданных комбинаций после %d имеющихся строк? «Да» добавляет, «Нет» заменяет "
     "ими список.",
     "Add the %d combinations made after the %d rows held? Yes adds them, No replaces the list "
     "with them."},  // TxtGenAskAppend
    {"В списке %d строк, а помещается не более %d; %d созданных комбинаций не помещаются. Ничего "
     "не изменено.",
     "The list holds %d rows and takes at most %d; the %d combinations made do not fit. Nothing "
     "was changed."},  // TxtGenNoRoom
    // Generator: a long count stopped by the user
    {"Подсчёт остановлен: показана воронка фильтров до последнего изменения.",
     "The count was stopped: the funnel shown is that of the filters before the last change."},  // TxtGenStopped
    // The wheels' lower bounds by name
    {"Шёнхейма", "Schönheim"},       // TxtWheelBoundSchonheim
    {"по подсчёту", "by counting"},  // TxtWheelBoundCounting
}};

}  // namespace

const TextPair& Pair(TextId id) {
  return kPairs.at(static_cast<std::size_t>(id));
}

const char* Text(TextId id, int32_t language) {
  const TextPair& p = Pair(id);
  return language == ToValue(Language::Russian) ? p.ru : p.en;
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

std::string CountText(int64_t count, TextId forms, int32_t language) {
  const std::string_view all = Text(forms, language);
  std::vector<std::string_view> words;
  for (std::size_t from = 0;;) {
    const std::size_t bar = all.find('|', from);
    words.push_back(all.substr(from, bar == std::string_view::npos ? bar : bar - from));
    if (bar == std::string_view::npos) break;
    from = bar + 1;
  }
  const uint64_t n = count < 0 ? 0 - static_cast<uint64_t>(count) : static_cast<uint64_t>(count);
  std::size_t form = 0;
  if (words.size() >= 3) {
    // Russian: the last digit decides, except 11 to 14, which take the many-form.
    const uint64_t last = n % 10, lastTwo = n % 100;
    form = lastTwo >= 11 && lastTwo <= 14 ? 2 : last == 1 ? 0 : last >= 2 && last <= 4 ? 1 : 2;
  } else {
    form = n == 1 ? 0 : 1;
  }
  form = std::min(form, words.size() - 1);
  return std::to_string(count) + " " + std::string(words[form]);
}

}  // namespace tallyra
