#pragma once
// Connects the window's own controls (tabs, help, exit, language list). Called once
// by the start-up, right after the window is built.
void ConectarInterfaz();
void Csalir_Click();
