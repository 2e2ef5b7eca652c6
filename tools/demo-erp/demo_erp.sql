-- Demo ERP, rows: one U8 account set, UFDATA_001_2021, with the server's
-- master and UFSystem databases. quillmark-demo-erp creates the tables of
-- demo_erp_schema.sql in a fresh UFDATA_001_2021.db with master.db attached
-- as "master" and UFSystem.db as "UFSystem", then runs this script (SQLite
-- dialect) in the same transaction.
--
-- Every row is computed, nothing is random: two runs give the same data.
-- Dates are ISO texts, 'YYYY-MM-DD hh:mm:ss' or 'YYYY-MM-DD'.

------------------------------------------------------------------------
-- master: the databases on the server. Only names beginning with "UFDATA"
-- are account sets; UFDATA_001_2021 is the only one with a database file.
------------------------------------------------------------------------
INSERT INTO master.SysDatabases (Name, dbid) VALUES
  ('master', 1), ('tempdb', 2), ('model', 3), ('msdb', 4),
  ('UFSystem', 5), ('UFMeta_001', 6), ('UFModel', 7),
  ('UFDATA_001_2021', 8),
  ('ufdata_002_2020', 9),        -- lower case: not an account set
  ('BAK_UFDATA_001_2020', 10),   -- "UFDATA" only later in the name
  ('ReportServer', 11);

------------------------------------------------------------------------
-- UFSystem: identity counters per account and voucher kind. The "rd" row
-- of account 001 matches the stock vouchers below (highest header
-- 1000000060, highest line 1000000160, written without the leading 1).
------------------------------------------------------------------------
INSERT INTO UFSystem.UA_Identity (cAcc_Id, cVouchType, iFatherId, iChildId) VALUES
  ('001', 'rd', 60, 160),
  ('001', 'PO', 12, 40),
  ('001', 'SA', 8, 21),
  ('002', 'rd', 500, 1800);

------------------------------------------------------------------------
-- A helper sequence 1..400 for the generated rows; it lives only for the
-- connection that runs this script.
------------------------------------------------------------------------
CREATE TEMP TABLE seq (i integer PRIMARY KEY);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)
INSERT INTO temp.seq (i) SELECT i FROM n;

------------------------------------------------------------------------
-- Departments
------------------------------------------------------------------------
INSERT INTO department (cDepCode, cDepName) VALUES
  ('01', '总经办'),
  ('02', '财务部'),
  ('03', '生产课'),
  ('04', '品质课'),
  ('05', '设备课'),
  ('06', '仓储课'),
  ('07', '采购部');

------------------------------------------------------------------------
-- People. hr_hi_person is the HR archive (job numbers on the personnel
-- cards, the production line in cPsn_NameEN); person is the ERP's list of
-- handlers. People 0001-0014 work in 生产课 (03), the others are spread over
-- the other departments. 0038-0040 are new and have no job number yet.
-- "demo" is the account used for demonstrations: it is in 生产课 but never
-- offered as a handler.
------------------------------------------------------------------------


INSERT INTO hr_hi_person (cPsn_Num, cPsn_Name, cPsn_NameEN, cDept_num, JobNumber, dEnterDate)
SELECT printf('%04d', i),
       substr('张王李赵刘陈杨黄周吴徐孙马朱胡郭', 1 + i % 16, 1)
         || substr('伟芳敏静强磊军洋勇艳杰涛明超秀兰霞平刚桂', 1 + (i * 7) % 20, 1)
         || CASE WHEN i % 3 = 0 THEN '' ELSE substr('华国建文海春红玉', 1 + i % 8, 1) END,
       CASE WHEN i <= 14 THEN substr('装配一线装配二线注塑一线包装一线', 1 + 4 * (i % 4), 4) END,
       CASE WHEN i <= 14 THEN '03' ELSE substr('010204050607', 1 + 2 * (i % 6), 2) END,
       CASE WHEN i <= 37 THEN printf('%d', 10000 + i) END,
       date('2015-03-02', '+' || (i * 41) || ' days')
FROM temp.seq WHERE i <= 40;

INSERT INTO hr_hi_person (cPsn_Num, cPsn_Name, cPsn_NameEN, cDept_num, JobNumber, dEnterDate) VALUES
  ('demo', '演示用户', '装配一线', '03', 'demo', '2021-01-04'),
  ('0041', 'Sean O''Neil', NULL, '05', '10041', '2019-09-16');

INSERT INTO person (cPersonCode, cPersonName, cDepCode)
SELECT cPsn_Num, cPsn_Name, cDept_num FROM hr_hi_person;

------------------------------------------------------------------------
-- Devices (user-defined archive 0001): device code, name, production line.
-- One draft row has no code yet.
------------------------------------------------------------------------
INSERT INTO U8CUSTDEF_0001_E001 (ID, cNo, cCardName, cx)
SELECT i,
       printf('SB%03d', i),
       substr('注塑机冲压机数控车空压机', 1 + 3 * (i % 4), 3) || printf('%d号', 1 + i / 4),
       substr('装配一线装配二线注塑一线包装一线', 1 + 4 * (i % 4), 4)
FROM temp.seq WHERE i <= 20;
INSERT INTO U8CUSTDEF_0001_E001 (ID, cNo, cCardName, cx) VALUES
  (21, 'CNC-07A', '加工中心7号', '机加线'),
  (22, NULL, '新购激光打标机', NULL);

------------------------------------------------------------------------
-- Warehouses, issue and receipt categories, units, bin positions
------------------------------------------------------------------------
INSERT INTO Warehouse (cWhCode, cWhName) VALUES
  ('01', '原材料仓'),
  ('02', '五金仓'),
  ('03', '辅料仓'),
  ('04', '成品仓'),
  ('05', '备品备件仓');

-- Issue categories 201-204 are offered on the voucher header.
INSERT INTO Rd_Style (cRdCode, cRdName, bRdFlag, bRdEnd, iRdGrade) VALUES
  ('1',   '入库',       1, 0, 1),
  ('101', '采购入库',   1, 1, 2),
  ('102', '产成品入库', 1, 1, 2),
  ('103', '其他入库',   1, 1, 2),
  ('2',   '出库',       0, 0, 1),
  ('201', '销售出库',   0, 1, 2),
  ('202', '生产领料',   0, 1, 2),
  ('203', '维修领料',   0, 1, 2),
  ('204', '其他出库',   0, 1, 2);

INSERT INTO ComputationUnit (cComunitCode, cComUnitName) VALUES
  ('01', '个'), ('02', '只'), ('03', '米'), ('04', '千克'), ('05', '套'),
  ('06', '卷'), ('07', '瓶'), ('08', '盒'), ('09', '张');

-- Positions: warehouse letter (A 原材料仓, B 五金仓, C 辅料仓, E 备品备件仓),
-- shelf 01-04, level 1-3, e.g. B02-3 = 五金仓 shelf 2 level 3.
WITH w(letter, area, code) AS
  (VALUES ('A', '原材料区', '01'), ('B', '五金区', '02'), ('C', '辅料区', '03'), ('E', '备件区', '05'))
INSERT INTO Position (cPosCode, cPosName, cWhCode)
SELECT w.letter || printf('%02d-%d', 1 + (s.i - 1) / 3, 1 + (s.i - 1) % 3),
       w.area || printf('%02d架%d层', 1 + (s.i - 1) / 3, 1 + (s.i - 1) % 3),
       w.code
FROM w JOIN temp.seq s ON s.i <= 12
ORDER BY w.letter, s.i;

------------------------------------------------------------------------
-- Inventory. 320 generated items in eight families (n = 1..320, family
-- n % 8, k = running number within the family), then a few hand-written
-- ones that make good demonstrations. Every 11th item has no default
-- position, every 23rd has an end date (no longer issued).
--   family  codes          items                 unit  positions
--   0       0101kkkk       六角螺栓               个    B (五金仓)
--   1       ZC-62kk-2RS    深沟球轴承             个    B
--   2       DX-RVV-kk      护套线                 米    C (辅料仓)
--   3       0301kkkk       润滑脂/螺纹胶/清洗剂   瓶    A (原材料仓)
--   4       QD-PC8-kk      快插接头               只    B
--   5       0501kkkk       手套/口罩/耳塞         盒    C
--   6       DQ-kkkA/B      接触器/继电器/空开     个    B
--   7       0701kkkk       纸箱/薄膜/胶带         张/卷 C
------------------------------------------------------------------------

INSERT INTO inventory (cInvCode, cInvName, cInvStd, cComUnitCode, cPosition, dSDate, dEDate)
SELECT CASE f
         WHEN 0 THEN printf('0101%04d', k)
         WHEN 1 THEN printf('ZC-62%02d-2RS', k)
         WHEN 2 THEN printf('DX-RVV-%02d', k)
         WHEN 3 THEN printf('0301%04d', k)
         WHEN 4 THEN printf('QD-PC8-%02d', k)
         WHEN 5 THEN printf('0501%04d', k)
         WHEN 6 THEN printf('DQ-%03d', k) || substr('AB', 1 + k % 2, 1)
         ELSE        printf('0701%04d', k)
       END,
       CASE f
         WHEN 0 THEN '六角螺栓'
         WHEN 1 THEN '深沟球轴承'
         WHEN 2 THEN '护套线'
         WHEN 3 THEN substr('润滑脂螺纹胶清洗剂', 1 + 3 * (k % 3), 3)
         WHEN 4 THEN '快插接头'
         WHEN 5 THEN substr('劳保手套防护口罩降噪耳塞', 1 + 4 * (k % 3), 4)
         WHEN 6 THEN substr('交流接触器中间继电器空气开关', 1 + 5 * (k % 3), 5)
         ELSE        substr('瓦楞纸箱缠绕薄膜封箱胶带', 1 + 4 * (k % 3), 4)
       END,
       CASE f
         WHEN 0 THEN printf('M%d*%d', 6 + 2 * (k % 4), 10 + 5 * (k % 7))
         WHEN 1 THEN printf('62%02d-2RS', k)
         WHEN 2 THEN printf('RVV %d*%.1fmm²', 2 + k % 3, 0.5 * (1 + k % 4))
         WHEN 3 THEN printf('%dml', 50 * (1 + k % 6))
         WHEN 4 THEN printf('PC8-%02d', k)
         WHEN 5 THEN printf('%d只/盒', 10 * (1 + k % 5))
         WHEN 6 THEN printf('%s%02d', substr('LC1DCA2DDZ47', 1 + 4 * (k % 3), 4), k)
         ELSE        printf('%d*%d', 300 + 10 * k, 200 + 5 * k)
       END,
       substr('0101030702080109', 1 + 2 * f, 2),
       CASE WHEN n % 11 = 0 THEN NULL
            ELSE substr('BBCABCBC', 1 + f, 1) || printf('%02d-%d', 1 + k % 4, 1 + k % 3) END,
       '2018-01-01',
       CASE WHEN n % 23 = 0 THEN '2020-12-31 00:00:00' END
FROM (SELECT i AS n, i % 8 AS f, 1 + (i - 1) / 8 AS k FROM temp.seq WHERE i <= 320);

-- Packing film and tape come by the roll.
UPDATE inventory SET cComUnitCode = '06'
WHERE cInvCode LIKE '0701%' AND cInvName IN ('缠绕薄膜', '封箱胶带');

INSERT INTO inventory (cInvCode, cInvName, cInvStd, cComUnitCode, cPosition, dSDate, dEDate) VALUES
  ('QM-001',     '扫码演示物料',    'DEMO-1',       '01', 'B01-1', '2021-01-04', NULL),
  ('M6-25',      '内六角螺钉',      'M6*25 12.9级', '01', 'B01-2', '2018-01-01', NULL),
  ('QG-8-5',     'PU气管 1/4"',     'Φ8*5 蓝色',    '03', 'C01-1', '2018-01-01', NULL),
  ('RG-3FT',     '3'' 液压软管',    '3/8" 3''长',   '01', 'B03-2', '2018-01-01', NULL),
  ('JJ-75',      '酒精 75%',        '500ml',        '07', 'A02-1', '2018-01-01', NULL),
  ('TB-HTD450',  '[备件] 同步带',   'HTD 5M-450',   '01', 'E01-1', '2018-01-01', NULL),
  ('XF-SAND',    '消防沙',          '25kg/袋',      '04', NULL,    '2018-01-01', NULL),
  ('OLD-6201',   '旧型号轴承',      '6201',         '01', 'B04-3', '2015-01-01', '2020-06-30 00:00:00');

-- User-defined field 3 carries the default position's name.
UPDATE inventory
SET cInvDefine3 = (SELECT cPosName FROM Position WHERE Position.cPosCode = inventory.cPosition)
WHERE cPosition IS NOT NULL;

------------------------------------------------------------------------
-- Stock on hand: one to three batch rows per item in the item's
-- warehouse; some rows are 0, every 9th item has no stock at all, and
-- the bearings also lie in the spare-parts warehouse. Wire is measured to
-- half metres.
------------------------------------------------------------------------

INSERT INTO CurrentStock (cWhCode, cInvCode, cBatch, iQuantity)
SELECT CASE substr(inv.cPosition, 1, 1) WHEN 'A' THEN '01' WHEN 'C' THEN '03' WHEN 'E' THEN '05' ELSE '02' END,
       inv.cInvCode,
       printf('2105%02d', b.i),
       CASE WHEN (inv.n + b.i) % 7 = 0 THEN 0
            WHEN inv.cComUnitCode = '03' THEN ((inv.n * 37 + b.i * 53) % 250) + 0.5
            ELSE (inv.n * 37 + b.i * 53) % 250 END
FROM (SELECT row_number() OVER (ORDER BY cInvCode) AS n, * FROM inventory) AS inv
     JOIN temp.seq b ON b.i <= 1 + inv.n % 3
WHERE inv.n % 9 <> 0 AND inv.cPosition IS NOT NULL
ORDER BY inv.cInvCode, b.i;

INSERT INTO CurrentStock (cWhCode, cInvCode, cBatch, iQuantity)
SELECT '05', cInvCode, '备件', 2 FROM inventory WHERE cInvCode LIKE 'ZC-%' ORDER BY cInvCode;

-- Items without a default position are kept in the raw-material warehouse.
INSERT INTO CurrentStock (cWhCode, cInvCode, cBatch, iQuantity)
SELECT '01', cInvCode, '210501', 30 FROM inventory WHERE cPosition IS NULL ORDER BY cInvCode;

-- The demonstration item has a known stock: 12.5 in 五金仓 over two rows.
DELETE FROM CurrentStock WHERE cInvCode = 'QM-001';
INSERT INTO CurrentStock (cWhCode, cInvCode, cBatch, iQuantity) VALUES
  ('02', 'QM-001', '210501', 10),
  ('02', 'QM-001', '210502', 2.5),
  ('05', 'QM-001', '210501', 0);

------------------------------------------------------------------------
-- Stock vouchers. The header and line identifiers of all stock vouchers
-- come from one ERP counter, so each table holds its own range:
--   rdrecords01 purchase receipts  headers 1000000001-020, lines ...001-060
--   rdrecords08 other receipts     headers 1000000021-025, lines ...061-070
--   rdrecords09 other issues       headers 1000000026-030, lines ...071-080
--   rdrecords10 product receipts   headers 1000000031-040, lines ...081-100
--   rdrecords32 sales issues       headers 1000000041-048, lines ...101-124
--   rdrecord11/rdrecords11 material issues
--                                  headers 1000000049-060, lines ...125-160
--   rdrecords34 is empty.
-- Lines pick their items by a stride over the inventory codes.
------------------------------------------------------------------------
CREATE TEMP VIEW inv_pick AS
SELECT row_number() OVER (ORDER BY cInvCode) - 1 AS n, cInvCode, cPosition
FROM inventory WHERE dEDate IS NULL AND cPosition IS NOT NULL;

-- Line i of a table with L lines per voucher belongs to voucher (i - 1) / L.
INSERT INTO rdrecords01 (AutoID, ID, cInvCode, iQuantity, cPosition, irowno)
SELECT 1000000000 + s.i, 1000000001 + (s.i - 1) / 3, p.cInvCode, 100 + 20 * (s.i % 5), p.cPosition, 1 + (s.i - 1) % 3
FROM temp.seq s JOIN temp.inv_pick p ON p.n = (s.i * 7) % 250 WHERE s.i <= 60;

INSERT INTO rdrecords08 (AutoID, ID, cInvCode, iQuantity, cPosition, irowno)
SELECT 1000000060 + s.i, 1000000021 + (s.i - 1) / 2, p.cInvCode, 5 * (1 + s.i % 4), p.cPosition, 1 + (s.i - 1) % 2
FROM temp.seq s JOIN temp.inv_pick p ON p.n = (s.i * 11) % 250 WHERE s.i <= 10;

INSERT INTO rdrecords09 (AutoID, ID, cInvCode, iQuantity, cPosition, irowno)
SELECT 1000000070 + s.i, 1000000026 + (s.i - 1) / 2, p.cInvCode, 1 + s.i % 3, p.cPosition, 1 + (s.i - 1) % 2
FROM temp.seq s JOIN temp.inv_pick p ON p.n = (s.i * 13) % 250 WHERE s.i <= 10;

INSERT INTO rdrecords10 (AutoID, ID, cInvCode, iQuantity, cPosition, irowno)
SELECT 1000000080 + s.i, 1000000031 + (s.i - 1) / 2, p.cInvCode, 50 * (1 + s.i % 3), p.cPosition, 1 + (s.i - 1) % 2
FROM temp.seq s JOIN temp.inv_pick p ON p.n = (s.i * 17) % 250 WHERE s.i <= 20;

INSERT INTO rdrecords32 (AutoID, ID, cInvCode, iQuantity, cPosition, irowno)
SELECT 1000000100 + s.i, 1000000041 + (s.i - 1) / 3, p.cInvCode, 10 * (1 + s.i % 6), p.cPosition, 1 + (s.i - 1) % 3
FROM temp.seq s JOIN temp.inv_pick p ON p.n = (s.i * 19) % 250 WHERE s.i <= 24;

------------------------------------------------------------------------
-- Material-issue vouchers (材料出库单) written earlier by the station:
-- twelve vouchers of three lines each, handled by people of 生产课, in
-- June 2021. Header, lines and bin-position rows carry the columns the
-- station writes.
------------------------------------------------------------------------
-- Voucher k = 0..11: every second day from 1 June 2021, handler 0001-0012.
INSERT INTO rdrecord11 (ID, bRdFlag, cVouchType, cBusType, cSource, cWhCode, dDate, cCode, cRdCode,
                        cDepCode, cPersonCode, bTransFlag, cMaker, bpufirst, biafirst, iMQuantity, VT_ID,
                        bIsSTQc, iproorderid, bOMFirst, bFromPreYear, bIsComplement, iDiscountTaxType,
                        ireturncount, iverifystate, iswfcontrolled, dnmaketime, bredvouch, bmotran,
                        bHYVouch, iPrintCount)
SELECT 1000000049 + v.k, 0, '11', '领料', '库存', '02', v.d, 'CLCK' || substr(strftime('%Y%m%d%H%M%S', v.t), 3),
       substr('202203', 1 + 3 * (v.k % 4 = 3), 3), '03', h.cPersonCode, 0, h.cPersonName, 0, 0, 0, 65,
       0, 0, 0, 0, 0, 0, 0, 0, 0, v.t, 0, 0, 0, 0
FROM (SELECT i - 1 AS k,
             date('2021-06-01', printf('+%d days', 2 * (i - 1))) AS d,
             date('2021-06-01', printf('+%d days', 2 * (i - 1))) || printf(' %02d:%02d:%02d', 8 + (i - 1) % 9, (i * 7) % 60, (i * 13) % 60) AS t
      FROM temp.seq WHERE i <= 12) AS v
     JOIN person h ON h.cPersonCode = printf('%04d', 1 + v.k);

-- Three lines per voucher; every third line has no device.
INSERT INTO rdrecords11 (AutoID, ID, cInvCode, iQuantity, iFlag, cPosition, cDefine22, cDefine23, cDefine24,
                         bLPUseFree, iOriTrackID, bCosting, bVMIUsed, iExpiratDateCalcu, isotype, ipesotype,
                         irowno, iposflag)
SELECT 1000000124 + s.i, 1000000049 + (s.i - 1) / 3, p.cInvCode, 1 + s.i % 4, 0, p.cPosition,
       c.cPsn_Name, '生产课', CASE WHEN s.i % 3 = 0 THEN '' ELSE printf('SB%03d', 1 + s.i % 20) END,
       0, 0, 1, 0, 0, 0, 0, 1 + (s.i - 1) % 3, 1
FROM temp.seq s
     JOIN temp.inv_pick p ON p.n = (s.i * 23) % 250
     JOIN hr_hi_person c ON c.cPsn_Num = printf('%04d', 1 + s.i % 14)
WHERE s.i <= 36;

-- Bin-position rows: first the purchase receipts, then the issues.
INSERT INTO InvPosition (AutoID, RdsID, RdID, cWhCode, cPosCode, cInvCode, iQuantity, cHandler, dDate,
                         bRdFlag, iTrackId, iMassDate, cvouchtype, dVouchDate)
SELECT l.AutoID - 1000000000, l.AutoID, l.ID, '02', l.cPosition, l.cInvCode, l.iQuantity,
       (SELECT cPersonName FROM person WHERE cPersonCode = '0016'),
       date('2021-05-01', printf('+%d days', l.ID - 1000000001)), 1, 0, 0, '01',
       date('2021-05-01', printf('+%d days', l.ID - 1000000001))
FROM rdrecords01 l ORDER BY l.AutoID;

INSERT INTO InvPosition (AutoID, RdsID, RdID, cWhCode, cPosCode, cInvCode, iQuantity, cHandler, dDate,
                         bRdFlag, iTrackId, iMassDate, cvouchtype, dVouchDate)
SELECT 60 + l.AutoID - 1000000124, l.AutoID, l.ID, h.cWhCode, l.cPosition, l.cInvCode, l.iQuantity, h.cMaker,
       h.dDate, 0, 0, 0, '11', h.dDate
FROM rdrecords11 l JOIN rdrecord11 h ON h.ID = l.ID ORDER BY l.AutoID;

DROP VIEW temp.inv_pick;
DROP TABLE temp.seq;

------------------------------------------------------------------------
-- Cases to try the station and the label windows on, added after all the
-- generated rows so that those stay as they are. None of these people is
-- a handler (they are not in person).
------------------------------------------------------------------------
-- A new worker of 生产课 who has no job number yet: no personnel label,
-- no personnel code to scan.
INSERT INTO hr_hi_person (cPsn_Num, cPsn_Name, cPsn_NameEN, cDept_num, JobNumber, dEnterDate) VALUES
  ('0042', '林建华', '注塑二线', '03', NULL, '2021-06-21');

-- A labelling machine not yet placed on a line (no cx); its label reads
-- "SA-01". It is the last device of the archive.
INSERT INTO U8CUSTDEF_0001_E001 (ID, cNo, cCardName, cx) VALUES
  (23, 'A-01', '贴标机1号', NULL);

-- Demonstration items beside QM-001, one case each:
--   QM-002  default position, no stock in any warehouse
--   QM-003  stock in 五金仓, no default position (a scan cannot place it)
--   QM-004  end-dated, with stock: not found by a scan, listed by a search
--   QM-005  default position, 2.75 m in 五金仓 (quantity edits above it
--           are refused)
--   QM-006  unit code missing from ComputationUnit: found by nothing
-- and among the generated items DX-RVV-01, whose default position C02-2
-- belongs to 辅料仓 (03): a station issuing from 五金仓 (02) refuses it.
INSERT INTO inventory (cInvCode, cInvName, cInvStd, cComUnitCode, cPosition, dSDate, dEDate) VALUES
  ('QM-002', '扫码演示物料（无库存）', 'DM-2 蓝色',   '01', 'B01-3', '2021-01-04', NULL),
  ('QM-003', '扫码演示物料（无货位）', 'DM-3 红色',   '01', NULL,    '2021-01-04', NULL),
  ('QM-004', '扫码演示物料（已停用）', 'DM-4 旧款',   '01', 'B01-3', '2019-01-02', '2021-03-31 00:00:00'),
  ('QM-005', '扫码演示电缆',           'RVV 3*1.5mm²', '03', 'B02-1', '2021-01-04', NULL),
  ('QM-006', '扫码演示物料（无单位）', 'DM-6',        '99', 'B01-3', '2021-01-04', NULL);

UPDATE inventory
SET cInvDefine3 = (SELECT cPosName FROM Position WHERE Position.cPosCode = inventory.cPosition)
WHERE cInvCode LIKE 'QM-00_' AND cInvCode <> 'QM-001' AND cPosition IS NOT NULL;

INSERT INTO CurrentStock (cWhCode, cInvCode, cBatch, iQuantity) VALUES
  ('02', 'QM-003', '210601', 8),
  ('02', 'QM-004', '200101', 5),
  ('02', 'QM-005', '210601', 2.75),
  ('02', 'QM-006', '210601', 4);
