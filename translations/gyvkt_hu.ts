<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- What the toolkit's dialogs show and Qt's Hungarian catalogue lacks, in the wording of
     Hungarian desktop programs. The GUI test of the dialogs' language names any text missing;
     a few texts appear only with a system printer (its paper sources, its password, option
     conflicts, a wrong page range) and are here although that test cannot bring them up. -->
<TS version="2.1" language="hu_HU">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Mappa</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Meghajtó</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fájl</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Ismeretlen</translation>
    </message>
</context>
<context>
    <name>Print Device Input Slot</name>
    <message>
        <source>Automatic</source>
        <translation>Automatikus</translation>
    </message>
</context>
<context>
    <name>Print Device Output Bin</name>
    <message>
        <source>Automatic</source>
        <translation>Automatikus</translation>
    </message>
</context>
<context>
    <name>QCupsPrinterSupport</name>
    <message>
        <source>Authentication Needed</source>
        <translation>Hitelesítés szükséges</translation>
    </message>
    <message>
        <source>Authentication needed to use %1 on %2.</source>
        <translation>A(z) %1 nyomtató használatához hitelesítés szükséges a(z) %2 kiszolgálón.</translation>
    </message>
    <message>
        <source>Authentication needed to use %1.</source>
        <translation>A(z) %1 nyomtató használatához hitelesítés szükséges.</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Felhasználónév:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Jelszó:</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>Invalid Pages Definition</source>
        <translation>Érvénytelen oldalmegadás</translation>
    </message>
    <message>
        <source>%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges and make sure ranges do not intersect with each other.</source>
        <translation>A(z) %1 megadása hibás. Az oldalakat és a tartományokat vesszővel (,) válassza el, a tartományokat kötőjellel (-) adja meg, és a tartományok ne fedjék egymást.</translation>
    </message>
    <message>
        <source>Duplex Settings Conflicts</source>
        <translation>Ütköző kétoldalas beállítások</translation>
    </message>
    <message>
        <source>There are conflicts in duplex settings. Do you want to fix them?</source>
        <translation>A kétoldalas nyomtatás beállításai ütköznek egymással. Kijavítja őket?</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesDialog</name>
    <message>
        <source>Page Setup Conflicts</source>
        <translation>Ütköző oldalbeállítások</translation>
    </message>
    <message>
        <source>There are conflicts in page setup options. Do you want to fix them?</source>
        <translation>Az oldalbeállítások ütköznek egymással. Kijavítja őket?</translation>
    </message>
    <message>
        <source>Advanced Option Conflicts</source>
        <translation>Ütköző speciális beállítások</translation>
    </message>
    <message>
        <source>There are conflicts in some advanced options. Do you want to fix them?</source>
        <translation>Néhány speciális beállítás ütközik egymással. Kijavítja őket?</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesWidget</name>
    <message>
        <source>Advanced</source>
        <translation>Speciális</translation>
    </message>
    <message>
        <source>There are conflicts in some options. Please fix them.</source>
        <translation>Néhány beállítás ütközik egymással. Javítsa ki őket.</translation>
    </message>
</context>
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <source>Pages</source>
        <translation>Oldalak</translation>
    </message>
    <message>
        <source>Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.</source>
        <translation>Oldalakat vagy tartományokat adjon meg, vesszővel elválasztva. A tartomány két, kötőjellel elválasztott szám. Például a 3,5-7,9 a 3., 5., 6., 7. és 9. oldalt nyomtatja.</translation>
    </message>
    <message>
        <source>Double Sided Printing</source>
        <translation>Kétoldalas nyomtatás</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Ki</translation>
    </message>
    <message>
        <source>Long side binding</source>
        <translation>Hosszú él mentén</translation>
    </message>
    <message>
        <source>Short side binding</source>
        <translation>Rövid él mentén</translation>
    </message>
</context>
</TS>
