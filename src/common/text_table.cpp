#include "common/text_table.h"

#include <array>
#include <cstdlib>

namespace zarvex::common {

namespace {

struct Entry {
    const char* english;
    const char* russian;
};

// Every text exactly as the program has always shown it, trailing and doubled blanks
// included: status texts are concatenated and rely on them. The English text of entry 56
// begins with a Cyrillic capital Es, not a Latin C; 118 and 119 are unused.
constexpr std::array<Entry, TextTable::kEntryCount> kEntries{{
    /*   0 */ {"Date:", "Дата:"},
    /*   1 */ {"Contract:", "Контракт:"},
    /*   2 */ {"Expiration", "Дата экспирации"},
    /*   3 */ {"PUT level", "Уровень PUT"},
    /*   4 */ {"CALL level", "Уровень CALL"},
    /*   5 */ {"Market borders", "Границы рынка:"},
    /*   6 */ {"Width Market", "Ширина рынка"},
    /*   7 */ {"Delta-balance", "Баланс по дельте"},
    /*   8 */ {"Upper limit", "Верхний предел"},
    /*   9 */ {"Upper border", "Верхняя граница"},
    /*  10 */ {"Channel Center", "Середина канала"},
    /*  11 */ {"Bottom border", "Нижняя граница"},
    /*  12 */ {"Bottom limit", "Нижний предел"},
    /*  13 */ {"Ratio PUT/CALL:", "Соотношение PUT/CALL:"},
    /*  14 */ {"By open interest", "По откр.интересу"},
    /*  15 */ {"By volume", "По объёму торгов"},
    /*  16 */ {"By average price", "По ср. премии"},
    /*  17 */ {"Significant levels:", "Значимые уровни:"},
    /*  18 */ {"Significant fractals:", "Значимые фракталы:"},
    /*  19 */ {"Histograms", "Гистограммы"},
    /*  20 */ {"Data", "Данные"},
    /*  21 */ {"OI", "ОИ"},
    /*  22 */ {"Chng.OI", "Изм.ОИ"},
    /*  23 */ {"Vol.", "Объём"},
    /*  24 */ {"Pr*OI", "Пр*ОИ"},
    /*  25 */ {"Pr*V", "Пр*V"},
    /*  26 */ {"Strike", "Страйк"},
    /*  27 */ {"Price", "Премия"},
    /*  28 */ {"Open interest", "Открытый интерес"},
    /*  29 */ {"OI Change", "Изменение ОИ"},
    /*  30 */ {"Volume", "Объём торгов"},
    /*  31 */ {"Price x OI", "Премия х ОИ"},
    /*  32 */ {"Price x Volume", "Премия х Объём"},
    /*  33 */ {"Delta", "Дельта"},
    /*  34 */ {"Help", "Справка"},
    /*  35 */ {"Symbol parametrs", "Настройка актива"},
    /*  36 */ {" Basic", " Общие"},
    /*  37 */
    {"Extract data from the report to the DB", "Извлекать данные из отчёта в базу данных"},
    /*  38 */
    {"Unload data from the DB to external files", "Выгружать данные из базы во внешние файлы"},
    /*  39 */ {"Allow ForwardPoint for Forex", "Учитывать ForwardPoint для Форекс"},
    /*  40 */ {"Folder for unloading files", "Папка для выгрузки файлов"},
    /*  41 */ {"Template of the file name for unload", "Шаблон имени внешних файлов"},
    /*  42 */ {"Template of the data for unload", "Шаблон выгружаемых данных"},
    /*  43 */ {" Left panel", " Панель слева"},
    /*  44 */ {"Price type:", "Тип отображаемых цен:"},
    /*  45 */ {"Condition for significant levels:", "Условие значимости уровней:"},
    /*  46 */ {"Conditions for significant fractals", "Условия значимости фракталов:"},
    /*  47 */ {" - basic", " - основной:"},
    /*  48 */ {" - nearby", " - соседние:"},
    /*  49 */ {" Histogam 1", " Гистограмма 1"},
    /*  50 */ {" Histogam 2", " Гистограмма 2"},
    /*  51 */ {" Histogam 3", " Гистограмма 3"},
    /*  52 */ {" Histogam 4", " Гистограмма 4"},
    /*  53 */ {"Price type:", "Тип отображаемых цен:"},
    /*  54 */ {"Display scale:", "Масштаб отображения:"},
    /*  55 */ {"Displayed param.:", "Отображ.показатель:"},
    /*  56 */ {"Сondition for displaying bars:", "Условие отображения баров:"},
    /*  57 */ {"Futures", "Фьючерс"},
    /*  58 */ {"Standart", "Стандарт"},
    /*  59 */ {"Forex", "Форекс"},
    /*  60 */ {"All levels", "Все уровни"},
    /*  61 */ {"In limits", "В пределах"},
    /*  62 */ {"In borders", "В границах"},
    /*  63 */ {"Opn.int", "ОИ"},
    /*  64 */ {"Chge.OI", "Изм.ОИ"},
    /*  65 */ {"Volume", "Объём"},
    /*  66 */ {"Pr.*OI", "Прем.*ОИ"},
    /*  67 */ {"Pr.*V", "Прем.*Объём"},
    /*  68 */ {"Default", "По умолчанию"},
    /*  69 */ {"Cancel", "Отмена"},
    /*  70 */ {"OK", "Готово"},
    /*  71 */ {"Property", "Свойства"},
    /*  72 */ {"Preparing to run ...", "Подготовка к запуску..."},
    /*  73 */ {"Library Initialization...", "Инициализация библиотек..."},
    /*  74 */ {"Create a main window...", "Создание оснеовного окна..."},
    /*  75 */ {"Creating a status bar...", "Создание строки статуса..."},
    /*  76 */ {"Creating tool tabs...", "Создание вкладок инструментов..."},
    /*  77 */ {"Please wait...", "Пожалуйста, подождите..."},
    /*  78 */ {"Running the application...", "Запуск приложения..."},
    /*  79 */ {"Program status:", "Статус программы: "},
    /*  80 */ {"The startup process was successful. ", "Процесс запуска прошёл успешно. "},
    /*  81 */
    {"The window is temporarily locked. Wait when operation to complete...",
     "Окно временно заблокировано. Пожалуйста, дождитесь завершения операции..."},
    /*  82 */ {"The program is prepared to use.", "Программа готова к работе."},
    /*  83 */ {"Loading data for ", "Идёт загрузка данных за "},
    /*  84 */
    {"Download for previous days has been completed successfully. After a while will be start data "
     "processing.",
     "Загрузка данных за предыдущие дни успешно завершена. Через некоторое время  начнётся их "
     "обработка."},
    /*  85 */
    {"Download for previous days has not been completed. The process will restart in ",
     "Загрузка данных за предыдущие дни не выполнена либо выполнена не до конца. Процесс будет "
     "возобновлён через "},
    /*  86 */
    {"Download the current day has been completed successfully. After a while will be start data "
     "processing.",
     "Загрузка данных за текущий день успешно завершена. Через некоторое время начнётся их "
     "обработка. "},
    /*  87 */
    {"Download the current day has not been completed. The process will restart in ",
     "Загрузка данных за текущий день не выполнена либо выполнена не до конца. Процесс будет "
     "возобновлён через "},
    /*  88 */ {" min.", " мин."},
    /*  89 */
    {"Data processing for previous days is completed. ",
     "Обработка данных за предыдущие дни завершена. "},
    /*  90 */
    {"Data processing for the current day is completed. ",
     "Обработка данных за текущий день завершена. "},
    /*  91 */
    {"The tables of the right panel is fill. ", "Идёт заполнение таблицы данных в панели справа. "},
    /*  92 */
    {"Filling the tables in the right panel is complete. ",
     "Заполнение таблицы данных в панели справа завершено. "},
    /*  93 */
    {"Calculation of the scale of the histogram N", "Идёт определение масштаба для гистограммы №"},
    /*  94 */
    {"Completed calculation of the scale of th histogram N",
     "Завершено определение масштаба для гистограммы №"},
    /*  95 */ {"Data processing is in progress. ", "Идёт обработка данных. "},
    /*  96 */
    {"Creates data arrays for the histogram N", "Идёт создание массивов данных для гистограммы №"},
    /*  97 */
    {"Completed creation of arrays for histogram N",
     "Завершено создание массивов данных для гистограммы №"},
    /*  98 */ {"Creating a histogram N", "Идёт создание гистограммы №"},
    /*  99 */ {"Completed creating a histogram number N", "Завершено создание гистограммы №"},
    /* 100 */ {"The left panel is temporarily locked. ", "Панель слева временно заблокирована."},
    /* 101 */ {"The contracts list is fill. ", "Идёт заполнение списка контрактов. "},
    /* 102 */
    {"Filling of the contracts list is completed. ", "Заполнение списка контрактов завершено. "},
    /* 103 */ {"Calculates of the basic indicators. ", "Идёт расчёт основных показателей. "},
    /* 104 */
    {"The calculation of the basic indicators is over. ", "Расчёт основных показателей завершён. "},
    /* 105 */ {"Calculates of the market borders. ", "Идёт расчёт границ рынка. "},
    /* 106 */ {"The calculation of the market borders is over. ", "Расчёт границ рынка завершён. "},
    /* 107 */
    {"There is a calculation of the PUT / CALL ratios. ", "Идёт расчёт соотношений PUT/CALL. "},
    /* 108 */
    {"The calculation of the ratio PUT/CALL is over. ", "Расчёт соотношений PUT/CALL завершён. "},
    /* 109 */ {"Calculates of the significant levels. ", "Идёт расчёт значимых уровней. "},
    /* 110 */
    {"The calculation of the significant levels is over. ", "Расчёт значимых уровней завершён. "},
    /* 111 */ {"Calculates of the significant fractals. ", "Идёт расчёт значимых фракталов. "},
    /* 112 */
    {"The calculation of the significant fractals is over. ",
     "Расчёт значимых фракталов завершён. "},
    /* 113 */ {"The table of the left panel is fill. ", "Идёт заполнение таблиц в панели слева. "},
    /* 114 */
    {"Filling the tables in the left panel is complete. ",
     "Заполнение таблиц в панели слева завершёно. "},
    /* 115 */ {"Message", "Сообщение"},
    /* 116 */ {"The program is already running", "Программа уже запущена."},
    /* 117 */ {"Please try again...\r", "Пожалуйста, попробуйте ещё  раз...\r"},
    /* 118 */ {"", ""},
    /* 119 */ {"", ""},
    /* 120 */ {"For the selected date there is no data.\r", "За выбранную дату данных нет.\r"},
    /* 121 */ {"The file name template is invalid.\r", "Неверно задан шаблон имени файла.\r"},
    /* 122 */
    {"The template of the data for unload is incorrectly set.\r",
     "Неверно задан шаблон выгружаемых данных.\r"},
    /* 123 */
    {"The conditions for significance of levels is incorrect.\r",
     "Неверно задано условие значимости уровней.\r"},
    /* 124 */
    {"The conditions for significance of fractals is incorrect.\r",
     "Неверно заданы условия значимости фракталов.\r"},
    /* 125 */
    {"The condition for displaying bars is incorrect.\r",
     "Неверно задано условие отображения баров.\r"},
    /* 126 */ {"History", "История"},
    /* 127 */ {"Compare with:", "Сравнить с:"},
    /* 128 */ {"off", "нет"},
    /* 129 */ {"previous trading day", "предыдущий торговый день"},
    /* 130 */ {"Save picture…", "Сохранить рисунок…"},
    /* 131 */ {"Save picture (2×)…", "Сохранить рисунок (2×)…"},
    /* 132 */ {"Copy picture", "Копировать рисунок"},
    /* 133 */ {"Save as CSV…", "Сохранить как CSV…"},
    /* 134 */ {"Copy", "Копировать"},
    /* 135 */ {"Max pain", "Макс. боль"},
    /* 136 */ {"CALL OI", "ОИ CALL"},
    /* 137 */ {"PUT OI", "ОИ PUT"},
    /* 138 */ {"CALL volume", "Объём CALL"},
    /* 139 */ {"PUT volume", "Объём PUT"},
    /* 140 */ {"PUT/CALL by OI", "PUT/CALL по ОИ"},
    /* 141 */ {"PUT/CALL by volume", "PUT/CALL по объёму"},
    /* 142 */ {"Forward point", "Форвардный пункт"},
    /* 143 */ {"Change", "Изменение"},
    /* 144 */ {"PNG pictures (*.png)", "Рисунки PNG (*.png)"},
    /* 145 */ {"CSV files (*.csv)", "Файлы CSV (*.csv)"},
    /* 146 */ {"The file cannot be written: ", "Не удалось записать файл: "},
    /* 147 */ {"No stored days hold this contract.", "Нет сохранённых дней с этим контрактом."},
    /* 148 */ {"Date", "Дата"},
    /* 149 */ {"Max pain strike", "Страйк макс. боли"},
    /* 150 */ {"Channel", "Канал"},
    /* 151 */ {"Shown price", "Цена на графике"},
    /* 152 */ {"Premium", "Премия"},
    /* 153 */ {"Key-price lines", "Линии ключевых цен"},
    /* 154 */
    {"No key-price lines: the left panel shows another price type",
     "Линий ключевых цен нет: в панели слева другой тип цен"},
    /* 155 */ {"Bars: ", "Бары: "},
    /* 156 */ {"Previous day with data (Alt+Left)", "Предыдущий день с данными (Alt+Влево)"},
    /* 157 */ {"Next day with data (Alt+Right)", "Следующий день с данными (Alt+Вправо)"},
    /* 158 */ {"Data of ", "Данные за "},
    /* 159 */ {"Next download: ", "Следующая загрузка: "},
    /* 160 */ {" days to expiry", " дн. до экспирации"},
    /* 161 */ {"Volatility", "Волатильность"},
    /* 162 */ {"Smile", "Улыбка"},
    /* 163 */ {"Term structure", "Временная структура"},
    /* 164 */ {"Forward F", "Форвард F"},
    /* 165 */ {"Discount D", "Дисконт D"},
    /* 166 */ {"Days to expiry", "Дней до экспирации"},
    /* 167 */ {"ATM volatility", "Волатильность ATM"},
    /* 168 */ {"25-delta risk reversal", "Риск-реверсал 25 дельта"},
    /* 169 */ {"25-delta butterfly", "Баттерфляй 25 дельта"},
    /* 170 */ {"Expected move", "Ожидаемое движение"},
    /* 171 */ {"Bands -2σ -1σ +1σ +2σ", "Полосы -2σ -1σ +1σ +2σ"},
    /* 172 */ {"Strikes without volatility: no premium", "Страйки без волатильности: нет премии"},
    /* 173 */
    {"Strikes without volatility: premium not above intrinsic value",
     "Страйки без волатильности: премия не выше внутренней стоимости"},
    /* 174 */
    {"Strikes without volatility: no volatility fits",
     "Страйки без волатильности: волатильность не подбирается"},
    /* 175 */
    {"Strikes without volatility: no row of that side",
     "Страйки без волатильности: нет строки этой стороны"},
    /* 176 */ {"IV", "IV"},
    /* 177 */ {"Delta (model)", "Дельта (модель)"},
    /* 178 */ {"Gamma", "Гамма"},
    /* 179 */ {"Vega", "Вега"},
    /* 180 */ {"Theta", "Тета"},
    /* 181 */ {"Show the ±1σ and ±2σ bands", "Показывать полосы ±1σ и ±2σ"},
    /* 182 */ {"Delta (report)", "Дельта (отчёт)"},
    /* 183 */
    {"No implied volatility for this contract on this day.",
     "Для этого контракта в этот день нет подразумеваемой волатильности."},
    /* 184 */ {"Board", "Сводка"},
    /* 185 */ {"Symbol", "Актив"},
    /* 186 */ {"Contract", "Контракт"},
    /* 187 */ {"Largest OI build-ups", "Наибольший рост ОИ"},
    /* 188 */ {"Largest OI unwinds", "Наибольшее снижение ОИ"},
    /* 189 */ {"Volume / OI", "Объём / ОИ"},
    /* 190 */ {"Open interest map", "Карта открытого интереса"},
    /* 191 */ {"OI of the day", "ОИ за день"},
    /* 192 */ {"Change since the previous day", "Изменение за день"},
    /* 193 */ {"Change over 5 trading days", "Изменение за 5 торговых дней"},
    /* 194 */ {"Sum", "Сумма"},
    /* 195 */ {"Alerts", "Оповещения"},
    /* 196 */ {"Alert rules…", "Правила оповещений…"},
    /* 197 */ {"No alerts fired.", "Оповещения не сработали."},
    /* 198 */
    {"One rule per line: symbol, contract (a code or front), figure, test (above, below, crosses, "
     "moves) and value; moves takes an amount or a percentage such as 5%. Lines starting with # "
     "are comments.",
     "Одно правило в строке: актив, контракт (код или front), показатель, проверка (above, below, "
     "crosses, moves) и значение; для moves — величина или процент, например 5%. Строки, "
     "начинающиеся с #, — комментарии."},
    /* 199 */ {"Lines with errors (skipped):", "Строки с ошибками (пропущены):"},
    /* 200 */ {"Save", "Сохранить"},
    /* 201 */ {"Check", "Проверить"},
    /* 202 */ {"OI above:", "ОИ больше:"},
    /* 203 */ {"Alerts fired: ", "Сработало оповещений: "},
    /* 204 */ {"The levels feed was not written: ", "Файлы уровней не записаны: "},
    /* 205 */ {"Alert rules: ", "Правила оповещений: "},
    /* 206 */ {"No stored days.", "Нет сохранённых дней."},
    /* 207 */ {"Previous day", "Предыдущий день"},
    /* 208 */
    {"Desktop notifications are not available; alerts are shown here only.",
     "Уведомления рабочего стола недоступны; оповещения показаны только здесь."},
    /* 209 */
    {"Another run of the program is working on this folder. Waiting for it to finish...",
     "С этой папкой работает другой запуск программы. Ожидание его завершения..."},
    /* 210 */ {"Data source", "Источник данных"},
    /* 211 */ {"Set data source…", "Указать источник данных…"},
    /* 212 */ {"Open demo data…", "Открыть демо-данные…"},
    /* 213 */
    {"No data source is set: there is nowhere to download the days from.",
     "Источник данных не задан: данные загружать неоткуда."},
    /* 214 */ {"The download failed: ", "Загрузка не удалась: "},
    /* 215 */ {"Next try at ", "Следующая попытка в "},
    /* 216 */ {"No days yet", "Данных пока нет"},
    /* 217 */ {"Report server (host or host:port):", "Сервер отчётов (адрес или адрес:порт):"},
    /* 218 */
    {"Time hosts, asked after the report server (empty: the built-in ones):",
     "Серверы времени после сервера отчётов (пусто: встроенные):"},
    /* 219 */ {"Not a host or host:port: ", "Это не адрес и не адрес:порт: "},
    /* 220 */
    {"Generating and loading the demo data... ", "Идёт создание и загрузка демо-данных... "},
    /* 221 */ {"The demo data could not be made: ", "Не удалось создать демо-данные: "},
    /* 222 */
    {"The demo data opens in a window of its own.", "Демо-данные открываются в отдельном окне."},
    /* 223 */ {"The data source could not be saved: ", "Не удалось сохранить источник данных: "},
    /* 224 */ {"Bars could not be read: ", "Бары не удалось прочитать: "},
    /* 225 */ {" could not be read: ", " не удалось прочитать: "},
    /* 226 */
    {" is the output folder of another program folder, ",
     " — папка выгрузки другой папки программы, "},
    /* 227 */
    {", not of this one: a copied or moved program folder does not unload there. Set the folder "
     "under Property, \"Folder for unloading files\", or in the OutputFolder setting of ",
     ", а не этой: скопированная или перенесённая папка программы туда не выгружает. Задайте "
     "папку в окне «Свойства», поле «Папка для выгрузки файлов», или в параметре OutputFolder "
     "файла "},
    /* 228 */ {"Expected move low", "Нижняя граница ожидаемого хода"},
    /* 229 */ {"Expected move high", "Верхняя граница ожидаемого хода"},
    /* 230 */ {"Scorecard", "Проверка уровней"},
    /* 231 */
    {"%1 cases from %2 to %3. Each bar is the share of cases where the line held, with its 95% "
     "interval: a rate with a wide interval, or over few cases, says little.",
     "%1 случаев с %2 по %3. Каждый столбец — доля случаев, когда уровень удержался, с 95% "
     "интервалом: доля с широким интервалом или по немногим случаям говорит мало."},
    /* 232 */ {"Computing the scorecard…", "Расчёт проверки уровней…"},
    /* 233 */ {"How often the lines held", "Как часто уровни удерживались"},
    /* 234 */
    {"At expiry: the last price's distance from max pain and from the forward",
     "К экспирации: расстояние последней цены от max pain и от форварда"},
    /* 235 */ {"The smile's chance against the outcome", "Вероятность по улыбке против исхода"},
    /* 236 */ {"1 day", "1 день"},
    /* 237 */ {"5 days", "5 дней"},
    /* 238 */ {"expiry", "экспирация"},
    /* 239 */ {"Forward", "Форвард"},
    /* 240 */
    {"held %1 of %2 (%3), 95% interval %4 to %5; the line stood %6 expected moves away",
     "удержался %1 из %2 (%3), 95% интервал от %4 до %5; уровень стоял в %6 ожидаемых "
     "движениях"},
    /* 241 */
    {"%1 days left: %2 cases; max pain %3 off, the forward %4 off; max pain closer in %5",
     "осталось %1 дней: %2 случаев; max pain ошибся на %3, форвард на %4; max pain ближе в %5"},
    /* 242 */ {"predicted %1, happened %2, %3 cases", "предсказано %1, сбылось %2, %3 случаев"},
    /* 243 */ {"The scorecard could not be made: ", "Проверку уровней не удалось рассчитать: "},
    /* 244 */ {"days left", "дней осталось"},
    /* 245 */ {"as of that evening", "на тот вечер"},
    /* 246 */ {"Borders", "Границы"},
    /* 247 */ {"Limits", "Пределы"},
    /* 248 */ {"Settlement density", "Плотность цены расчёта"},
    /* 249 */ {"Values below zero: ", "Значений ниже нуля: "},
    /* 250 */ {"Gamma exposure per 1% move", "Гамма-экспозиция на 1% движения"},
    /* 251 */
    {"Assumed: dealers long CALLs, short PUTs", "Допущение: дилеры в длинных CALL и коротких PUT"},
    /* 252 */
    {"Assumed: dealers short CALLs, long PUTs", "Допущение: дилеры в коротких CALL и длинных PUT"},
    /* 253 */ {"Switch the sign assumption", "Поменять допущение о знаке"},
    /* 254 */ {"Zero gamma", "Нулевая гамма"},
    /* 255 */ {"Contract size: ", "Размер контракта: "},
    /* 256 */ {"no host is given", "адрес не указан"},
    /* 257 */ {"only http:// and https:// are understood", "понятны только http:// и https://"},
    /* 258 */
    {"a host holds no blanks, path, query or control characters",
     "в адресе не бывает пробелов, пути, запроса и управляющих символов"},
    /* 259 */
    {"a user name and password are sent only over https://",
     "имя пользователя и пароль передаются только по https://"},
    /* 260 */
    {"the port must be a number from 1 to 65535", "порт должен быть числом от 1 до 65535"},
    /* 261 */
    {"an IPv6 address needs brackets: [::1] or [::1]:port",
     "адрес IPv6 пишется в скобках: [::1] или [::1]:порт"},
    /* 262 */ {"stray or unclosed brackets", "лишние или незакрытые скобки"},
    /* 263 */
    {"a time host is asked over plain HTTP: give it without https://",
     "сервер времени опрашивается по простому HTTP: укажите его без https://"},
    /* 264 */ {", line ", ", строка "},
    /* 265 */
    {"after the first 64 KB of the file, not read", "после первых 64 КБ файла, не прочитано"},
    /* 266 */
    {"CA certificates for https:// (empty: the system's):",
     "Сертификаты УЦ для https:// (пусто: системные):"},
    /* 267 */ {"Browse...", "Обзор..."},
    /* 268 */
    {"Plain HTTP to another computer: the reports travel unencrypted and unchecked. Choose "
     "https:// when the server offers it.",
     "Простой HTTP к другому компьютеру: отчёты передаются без шифрования и проверки. Выберите "
     "https://, если сервер его поддерживает."},
    /* 269 */ {"CA certificate file", "Файл сертификатов УЦ"},
    /* 270 */
    {"The saved data source cannot be used: ", "Сохранённый источник данных не годится: "},
    /* 271 */ {"Computing…", "Идёт расчёт…"},
    /* 272 */ {"This day", "Этот день"},
    /* 273 */ {"Across days", "По дням"},
    /* 274 */
    {"30-day implied volatility over the futures' 20-day realized",
     "Волатильность на 30 дней над реализованной за 20 дней"},
    /* 275 */ {"IV 30 days", "IV 30 дней"},
    /* 276 */ {"Realized 20 days", "Реализованная 20 дней"},
    /* 277 */ {"Premium (VRP20)", "Премия (VRP20)"},
    /* 278 */ {"IV rank", "Ранг IV"},
    /* 279 */ {"IV percentile", "Перцентиль IV"},
    /* 280 */ {"not defined", "не определено"},
    /* 281 */
    {"not defined: %1 of the 20 days with a 30-day volatility it needs",
     "не определён: %1 из 20 нужных дней с волатильностью на 30 дней"},
    /* 282 */ {"Volatility cone up to %1", "Конус волатильности по %1"},
    /* 283 */ {"lowest–highest", "мин.–макс."},
    /* 284 */ {"median", "медиана"},
    /* 285 */ {"this day", "этот день"},
    /* 286 */ {"Volatility of %1 of %2 days…", "Волатильность: %1 из %2 дней…"},
    /* 287 */ {"%1: the quote rows cannot be read", "%1: строки котировок не читаются"},
    /* 288 */
    {"IV rank places this day's 30-day volatility between the lowest (0) and the highest (100) "
     "of the last 252 stored days that have one; the percentile is the share of those days it "
     "stands above. A positive premium: the options price more movement than the futures have "
     "shown.",
     "Ранг IV ставит волатильность этого дня на 30 дней между наименьшей (0) и наибольшей (100) "
     "за последние 252 дня в базе, где она есть; перцентиль — доля тех дней, над которыми она "
     "стоит. Премия больше нуля: опционы закладывают больше движения, чем показал фьючерс."},
}};

std::string_view LanguagePart(std::string_view locale_name) {
    const std::size_t end = locale_name.find_first_of("_.@");
    return end == std::string_view::npos ? locale_name : locale_name.substr(0, end);
}

}  // namespace

std::optional<Language> LanguageFromArgument(std::string_view argument) {
    if (argument == "rus") {
        return Language::kRussian;
    }
    if (argument == "eng") {
        return Language::kEnglish;
    }
    return std::nullopt;
}

Language LanguageOfLocale(std::string_view locale_name) {
    const std::string_view part = LanguagePart(locale_name);
    const bool russian = part.size() == 2 && (part[0] == 'r' || part[0] == 'R') &&
                         (part[1] == 'u' || part[1] == 'U');
    return russian ? Language::kRussian : Language::kEnglish;
}

std::string UserLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

Language ChooseLanguage(std::string_view first_argument, const LocaleReader& read_locale) {
    if (const std::optional<Language> chosen = LanguageFromArgument(first_argument)) {
        return *chosen;
    }
    return LanguageOfLocale(read_locale ? read_locale() : UserLocaleName());
}

TextTable::TextTable(Language language) : language_(language) {
    for (int i = 0; i < kEntryCount; ++i) {
        const Entry& entry = kEntries[static_cast<std::size_t>(i)];
        texts_[static_cast<std::size_t>(i)] =
            language == Language::kRussian ? entry.russian : entry.english;
    }
}

const TextTable& TextTable::English() {
    static const TextTable english(Language::kEnglish);
    return english;
}

const std::string& TextTable::Get(int index) const {
    static const std::string kNone;
    if (index < 0 || index >= kEntryCount) {
        return kNone;
    }
    return texts_[static_cast<std::size_t>(index)];
}

}  // namespace zarvex::common
