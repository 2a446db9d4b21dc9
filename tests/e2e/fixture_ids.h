// The driver tests' own window: its class, title and control identifiers.
#pragma once

#define kFixtureClass L"StarfoldDriverFixture"
#define kFixtureTitle L"\u9a71\u52a8\u6d4b\u8bd5\u7a97\u53e3"

constexpr int kFixtureGroup = 101;
constexpr int kFixtureEdit = 102;  // a child of the group box
constexpr int kFixtureCheck = 103;
constexpr int kFixtureBoxes = 104;
constexpr int kFixtureHidden = 105;
constexpr int kFixtureLabel = 106;
constexpr int kFixtureOpen = 107;

constexpr unsigned long kFixtureHandledException = 0xE0001234;
