#pragma once

// The demonstration table the road makes on the private server and reads
// back through every interface: its SQL, its rows and what the road's
// queries of it must answer.
namespace road {

inline constexpr const wchar_t* kDemoTable = L"road_demo";
inline constexpr const wchar_t* kDemoDrop = L"DROP TABLE IF EXISTS road_demo";
// The server numbers the identifier of a row added; a unique key on the
// name, so that the host can search and browse by it and an add of a name
// already present fails as a duplicate.
inline constexpr const wchar_t* kDemoCreate =
    L"CREATE TABLE road_demo (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, name VARCHAR(40) NOT NULL, "
    L"amount DECIMAL(10,2) NULL, born DATE NULL, UNIQUE KEY road_demo_name (name))";
inline constexpr const wchar_t* kDemoRows[] = {
    L"INSERT INTO road_demo VALUES (1, 'Ada', 12.50, '1815-12-10')",
    L"INSERT INTO road_demo VALUES (2, 'Blaise', NULL, '1623-06-19')",
    L"INSERT INTO road_demo VALUES (3, 'Charles', 7.25, NULL)",
    L"INSERT INTO road_demo VALUES (4, 'Dorothy', 100.00, '1910-05-12')",
    L"INSERT INTO road_demo VALUES (5, '\u00c9milie', 3.00, '1706-12-17')",
};
inline constexpr int kDemoRowCount = 5;
// The names of ids 1 to 5.
inline constexpr const wchar_t* kDemoNames[] = {L"Ada", L"Blaise", L"Charles", L"Dorothy", L"\u00c9milie"};
inline constexpr int kDemoItemCount = 4;

inline constexpr const wchar_t* kDemoSelect = L"SELECT id, name, amount FROM road_demo WHERE id >= ? ORDER BY id";
inline constexpr int kDemoSelectFrom = 2;
inline constexpr int kDemoSelectColumns = 3;
inline constexpr const wchar_t* kDemoSelectNames = L"id, name, amount";
inline constexpr int kDemoSelectRows = 4;

// The rows the writes touch, as the server holds them: the first row, and
// every row added after the five.
inline constexpr const wchar_t* kDemoWrittenRows =
    L"SELECT id, name, amount FROM road_demo WHERE id = 1 OR id > 5 ORDER BY id";

}  // namespace road
