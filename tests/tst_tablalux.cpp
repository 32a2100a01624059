// Light-level conversions over the 53-row table, both sensor kinds.
#include "app/ModuloKX.h"
#include "params/TablaLux.h"

#include <QTest>

class TablaLuxPrueba : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CargarTablaLux(); }

    void conversiones_data()
    {
        QTest::addColumn<bool>("haciaCuentas");  // true: LuxACuentas, false: CuentasALux
        QTest::addColumn<int>("sensor");
        QTest::addColumn<int>("entrada");
        QTest::addColumn<int>("resultado");
        QTest::addColumn<int>("argumentoDespues");

        const int diodo = SensorFotodiodo;
        const int celula = SensorFotocelula;
        // Lux to counts
        QTest::newRow("diodo 100 lux") << true << diodo << 100 << 214 << 100;
        QTest::newRow("celula 100 lux") << true << celula << 100 << 192 << 100;
        QTest::newRow("diodo 102 lux, fila de 100") << true << diodo << 102 << 214 << 102;
        QTest::newRow("diodo 0 lux") << true << diodo << 0 << 0 << 0;
        QTest::newRow("celula 0 lux, fila 1") << true << celula << 0 << 969 << 0;
        QTest::newRow("diodo negativo acotado") << true << diodo << -40 << 0 << 0;
        QTest::newRow("celula negativo acotado") << true << celula << -1 << 969 << 0;
        QTest::newRow("diodo 549") << true << diodo << 549 << 635 << 549;
        QTest::newRow("celula 549") << true << celula << 549 << 123 << 549;
        QTest::newRow("diodo 550 es la fila 52") << true << diodo << 550 << 636 << 550;
        QTest::newRow("celula 550 es la fila 52") << true << celula << 550 << 122 << 550;
        QTest::newRow("diodo 600 acotado a 550") << true << diodo << 600 << 636 << 550;
        QTest::newRow("celula 600 acotado a 550") << true << celula << 600 << 122 << 550;
        QTest::newRow("diodo 95 lux") << true << diodo << 95 << 207 << 95;
        // Counts to lux, photodiode
        QTest::newRow("diodo 214 cuentas") << false << diodo << 214 << 100 << 214;
        QTest::newRow("diodo 0 cuentas") << false << diodo << 0 << 0 << 0;
        QTest::newRow("diodo negativo acotado a 0") << false << diodo << -3 << 0 << 0;
        QTest::newRow("diodo 635") << false << diodo << 635 << 520 << 635;
        QTest::newRow("diodo 636 es 550 lux") << false << diodo << 636 << 550 << 636;
        QTest::newRow("diodo 900 acotado a 840") << false << diodo << 900 << 550 << 840;
        QTest::newRow("diodo 210 no esta en la tabla") << false << diodo << 210 << 95 << 210;
        // Counts to lux, photocell
        QTest::newRow("celula 192 cuentas") << false << celula << 192 << 100 << 192;
        QTest::newRow("celula 969") << false << celula << 969 << 0 << 969;
        QTest::newRow("celula 1000 acotado a 969") << false << celula << 1000 << 0 << 969;
        QTest::newRow("celula 500") << false << celula << 500 << 5 << 500;
        QTest::newRow("celula 499") << false << celula << 499 << 10 << 499;
        QTest::newRow("celula 123") << false << celula << 123 << 520 << 123;
        QTest::newRow("celula 122 es 550 lux") << false << celula << 122 << 550 << 122;
        QTest::newRow("celula 0 es 550 lux") << false << celula << 0 << 550 << 0;
        // No sensor kind selected: 0, argument untouched
        QTest::newRow("sin sensor lux") << true << -1 << 600 << 0 << 600;
        QTest::newRow("sin sensor cuentas") << false << -1 << 900 << 0 << 900;
        QTest::newRow("sensor fuera de la lista") << false << 2 << -7 << 0 << -7;
    }

    void conversiones()
    {
        QFETCH(bool, haciaCuentas);
        QFETCH(int, sensor);
        QFETCH(int, entrada);
        QFETCH(int, resultado);
        QFETCH(int, argumentoDespues);
        int32_t arg = entrada;
        const int32_t r = haciaCuentas ? LuxACuentas(arg, sensor) : CuentasALux(arg, sensor);
        QCOMPARE(r, resultado);
        QCOMPARE(arg, argumentoDespues);
    }

    // Every row's lux comes back unchanged through counts, the brightest row included.
    void idaYVueltaPorFila()
    {
        for (int sensor : {SensorFotodiodo, SensorFotocelula}) {
            for (int fila = 1; fila < FilasTablaLux; ++fila) {
                int32_t lux = TablaLux[fila];
                int32_t cuentas = LuxACuentas(lux, sensor);
                QCOMPARE(cuentas, int32_t{sensor == SensorFotodiodo ? TablaFotodiodo[fila] : TablaFotocelula[fila]});
                QCOMPARE(CuentasALux(cuentas, sensor), int32_t{TablaLux[fila]});
            }
        }
    }
};

QTEST_GUILESS_MAIN(TablaLuxPrueba)
#include "tst_tablalux.moc"
