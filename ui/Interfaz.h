#pragma once
// Connects the window's own controls (tabs, help, exit, language list).
void ConectarInterfaz();
void Csalir_Click();
